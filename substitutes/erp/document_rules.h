// The rules of the stand-in ERP for sales documents: tax bases, validation and the values it
// suggests for a line.
//
// Tax bases: the company has four VAT rates (table TAXASIVA; 23, 13, 6 and 0 by default).
// The net value of every live article line (quantity x unit price less its discounts,
// rounded to cents) goes to the base of its rate: Base1 for the first rate, ... Base4 for the
// fourth. Comment lines and cancelled lines count for nothing; a line at a rate the company
// does not have counts for nothing and fails validation.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "erp/document_state.h"

namespace vantrel::substitutes::erp {

struct ArticleRow {
    automation::Text code, description, unit, warehouse;
    double vatRate = 0;
    double price = 0;
};

std::array<double, 4> vatRates(Database& db);
std::optional<ArticleRow> findArticle(Database& db, automation::TextView code);

// Base1..Base4, TotalIva and TotalDocumento of the header from the lines.
void computeTotals(HeaderData& header, const Lines& lines, const std::array<double, 4>& rates);

// Everything wrong with the document, one message each; empty when it is valid.
std::vector<automation::Text> validateDocument(Database& db, const DocumentState& doc);

// The flags of SugereValoresLin, in the order the caller gives them.
enum SuggestFlag {
    SuggestDescription,  // Descricao from the article
    SuggestUnit,         // Unidade
    SuggestVatRate,      // TaxaIva
    SuggestPrice,        // PrecoUnitario and PrecoUnitarioIntroduzido
    SuggestWarehouse,    // Armazem, only when the line has none
    SuggestDate,         // DataMvStock: the document's date (today when it has none)
    SuggestFactor,       // Factor 1
    kSuggestFlagCount
};

// Fills a line (any line object, set member by member) from its article. False, and the
// line unchanged, when the line names no article or an article the company does not have.
bool suggestLineValues(Database& db, const automation::ObjectRef& line,
                       const std::array<bool, kSuggestFlagCount>& flags, double documentDate);

}  // namespace vantrel::substitutes::erp
