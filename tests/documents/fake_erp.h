// A small in-memory ERP for the surcharge tests: stored documents with header values and
// DOCGCLIN-like rows, document objects honouring the members the add-in calls, and
// failures that a test can ask for. Everything called is logged.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "solution/fakes.h"

namespace vantrel::testing {

using Row = std::map<automation::Text,
                     automation::Variant>;  // upper-cased column or property name -> value

struct FakeDoc {
    Row cab;                 // TIPODOCUMENTO, SERIE, NOSSONODOCUMENTO, ANO, BASE1..4...
    std::vector<Row> lines;  // DOCGCLIN columns: TPLINHA, ARTIGO, ... LINANU
    bool finalised = false;
};

using DocKey = std::tuple<automation::Text, automation::Text, std::int32_t,
                          std::int16_t>;  // type, series, number, year

class FakeErp : public std::enable_shared_from_this<FakeErp> {
public:
    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    std::map<DocKey, FakeDoc> stored;
    std::map<automation::Text, double> articles;  // known articles and their prices
    std::map<std::string, int> failNext;          // operation -> status of its next call
    std::set<std::string> throwOn;                // operations that raise
    std::int32_t nextNumber = 100;
    std::vector<automation::Text> statements;  // SQL the data access received
    bool insertKeepsNumber = true;             // Inserir honours a non-zero NossoNoDocumento
    bool removerKeepsDocument = false;         // Remover answers 0 and removes nothing
    bool dropLinesSilently = false;            // AdicionaLinha answers nothing and adds nothing

    // Stores a document; lines are (article, quantity, price, cancelled).
    struct StoredRow {
        automation::Text artigo;
        double quantidade = 1;
        double preco = 0;
        bool anulada = false;
        std::int16_t tipo = 1;
    };
    void store(const DocKey& key, const std::vector<StoredRow>& lines,
               std::array<double, 4> bases = {0, 0, 0, 0});
    const FakeDoc* find(const automation::Text& type, const automation::Text& series,
                        std::int32_t number, std::int16_t year) const;

    automation::ObjectRef api();         // the NextApiConnection: NewSalesDocument, NewDocumentLine
    automation::ObjectRef dataAccess();  // CoreDataAccess.OpenRecordset over the stored rows

    // Bookkeeping for the objects.
    int takeFailure(const std::string& op);
    void maybeThrow(const std::string& op);
};

}  // namespace vantrel::testing
