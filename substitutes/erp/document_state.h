// The contents of one document object of the stand-in ERP: its header, its lines and the
// messages of its last operation. Shared by the document, its header (Cab) and its line
// collection (Linhas), which are views of the same state.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "erp/api_session.h"
#include "erp/document_line.h"

namespace vantrel::substitutes::erp {

struct HeaderData {
    Text type;                        // TipoDocumento
    Text series;                      // serie
    Text originalSeries;              // serieOriginal
    std::int32_t number = 0;          // NossoNoDocumento; 0 = not stored
    std::int32_t originalNumber = 0;  // NumeroOriginal
    std::int16_t year = 0;            // ano
    double date = 0;                  // Data; 0 = not set (today when stored)
    Text customer;                    // Entidade
    Text name;                        // Nome
    std::int16_t origin = 0;          // Origem of the document
    std::array<double, 4> bases{};    // Base1..Base4
    double vat = 0;                   // TotalIva
    double total = 0;                 // TotalDocumento
    bool finalised = false;           // Finalizado
};

struct DocumentState {
    explicit DocumentState(std::shared_ptr<ApiSession> session) : session(std::move(session)) {}

    std::shared_ptr<ApiSession> session;
    HeaderData header;
    std::vector<std::shared_ptr<LineObject>> lines;
    Text log;  // AllLogFileMessages

    void addMessage(TextView message) {
        if (!log.empty()) log += u"\r\n";
        log += message;
    }
};

// "FT-A-12-2024": type, series, number and year, as the ERP's messages name a document.
Text documentKey(TextView type, TextView series, std::int32_t number, std::int32_t year);

}  // namespace vantrel::substitutes::erp
