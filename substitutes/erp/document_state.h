// The contents of one document object of the stand-in ERP: its header, its lines and the
// messages of its last operation. Shared by the document, its header (Cab) and its line
// collection (Linhas), which are views of the same state.
#pragma once

#include <array>
#include <deque>
#include <memory>
#include <vector>

#include "erp/api_session.h"
#include "erp/document_line.h"

namespace vantrel::substitutes::erp {

struct HeaderData {
    automation::Text type;            // TipoDocumento
    automation::Text series;          // serie
    automation::Text originalSeries;  // serieOriginal
    std::int32_t number = 0;          // NossoNoDocumento; 0 = not stored
    std::int32_t originalNumber = 0;  // NumeroOriginal
    std::int16_t year = 0;            // ano
    double date = 0;                  // Data; 0 = not set (today when stored)
    automation::Text customer;        // Entidade
    automation::Text name;            // Nome
    std::int16_t origin = 0;          // Origem of the document
    std::array<double, 4> bases{};    // Base1..Base4
    double vat = 0;                   // TotalIva
    double total = 0;                 // TotalDocumento
    bool finalised = false;           // Finalizado
};

struct DocumentId {
    automation::Text type;
    automation::Text series;
    std::int32_t number = 0;
    std::int32_t year = 0;
};

// A deque: the add-in empties a clone by removing its first line until none is left.
using Lines = std::deque<std::shared_ptr<LineObject>>;

struct DocumentState {
    explicit DocumentState(std::shared_ptr<ApiSession> session) : session(std::move(session)) {}

    std::shared_ptr<ApiSession> session;
    HeaderData header;
    automation::Text log;  // AllLogFileMessages
    // Whether this document has looked for a failure injected for AdicionaLinha, and whether
    // it found one the last time it looked.
    bool refusalsChecked = false;
    bool lastLineRefused = false;

    // The lines. A loaded document reads them from the database when they are first used:
    // many loads only look at the header (whether a document exists, its key, its totals).
    Lines& lines() const {
        if (pending_) loadPendingLines();
        return lines_;
    }
    // The lines of the stored document `id`, read later.
    void linesFrom(const DocumentId& id) {
        lines_.clear();
        pending_ = std::make_unique<DocumentId>(id);
    }
    void clearLines() {
        lines_.clear();
        pending_.reset();
    }

    void addMessage(automation::TextView message) {
        if (!log.empty()) log += u"\r\n";
        log += message;
    }

private:
    void loadPendingLines() const;

    // Reading the pending lines is not a change a caller can see.
    mutable Lines lines_;
    mutable std::unique_ptr<DocumentId> pending_;
};

// "FT-A-12-2024": type, series, number and year, as the ERP's messages name a document.
automation::Text documentKey(automation::TextView type, automation::TextView series,
                             std::int32_t number, std::int32_t year);

}  // namespace vantrel::substitutes::erp
