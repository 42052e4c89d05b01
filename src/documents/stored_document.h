// A stored sales document as the surcharge rewrite reads it before touching it: its key, its
// header values, and every row of DOCGCLIN (live and cancelled). Enough to rebuild it, to put
// it back, and to write a recovery copy that a person can read.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "automation/variant.h"
#include "interfaces/core_data_access.h"
#include "interfaces/host_document.h"

namespace vantrel::documents {

struct DocumentKey {
    automation::Text tipo;
    automation::Text serie;
    std::int32_t numero = 0;
    std::int16_t ano = 0;

    // type-series-number-year, as the messages show it
    automation::Text text() const;
};

// The columns of DOCGCLIN that the rewrite carries, in the order the copy lists them.
enum class LineColumn : std::size_t {
    TPLINHA,
    ARTIGO,
    ARMAZEM,
    DESCR,
    QUANT,
    PRUNIT,
    IVA,
    DESCONTO,
    TXDESC,
    DATA,
    UNIDADE,
    FACTOR,
    ORANO,
    ORDOC,
    ORSERIE,
    ORNUM,
    ORLIN,
    LINHAREL,
    ORDENACA,
    LINANU,
    Count
};
inline constexpr std::size_t kLineColumnCount = static_cast<std::size_t>(LineColumn::Count);
extern const std::array<automation::TextView, kLineColumnCount> kLineColumnNames;

struct StoredRow {
    std::array<automation::Variant, kLineColumnCount> values;

    const automation::Variant& operator[](LineColumn c) const {
        return values[static_cast<std::size_t>(c)];
    }
    // LINANU = True (-1) marks a cancelled row; an empty or Null flag is a live one.
    bool cancelled() const;
};

struct StoredDocument {
    DocumentKey key;
    interfaces::HostDocument doc;  // loaded with the stored document
    std::vector<StoredRow> rows;   // every row, in ORDENACA order
    // Header values as read, for the recovery copy: (member, value). Members the host's
    // header does not have are left out.
    std::vector<std::pair<automation::Text, automation::Variant>> header;
    std::optional<automation::Variant> origem;  // the document's origin before the rewrite set it
    std::optional<bool> finalizado;             // unknown when the header does not tell
    double bases = 0;                           // Base1 + Base2 + Base3 + Base4

    std::size_t liveRows() const;
};

// Reads the rows of a recordset of DOCGCLIN.
std::vector<StoredRow> readStoredRows(const interfaces::Recordset& rows);

// Reads the header values of a loaded document (origin and final state included).
void readStoredHeader(StoredDocument& stored);

// The recovery copy's text: an INI-like listing, one section for the header and one for
// each row. Line breaks and backslashes inside values are written as \r, \n and \\.
automation::Text recoveryCopyText(const StoredDocument& stored, const automation::Text& writtenAt);

}  // namespace vantrel::documents
