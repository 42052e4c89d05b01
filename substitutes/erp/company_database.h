// The company database of the stand-ins: one SQLite file per company database (catalog),
// at substitutes::databaseFile(catalog). Besides DOCGCLIN, which the add-in reads, it holds
// tables of the stand-in ERP itself:
//
//   DOCGCLIN     document lines (LINANU -1 = cancelled line; DATA as "YYYY-MM-DD")
//   DOCGCCAB     document headers: key, date, customer, tax bases, totals, finalised flag
//   ARTIGOS      articles: code, description, unit, VAT rate, price, warehouse
//   TAXASIVA     the four VAT rates behind Base1..Base4 (23, 13, 6 and 0 by default)
//   TIPOSDOC     document types the ERP accepts (FT, FS, FR, NC, ND, VD, GR, GT by default)
//   NUMERADORES  last number given per document type, series and year
//   UTILIZADORES ERP users: the login NextApiConnection.Connect checks
//   LOGINSSQL    SQL Server logins: what CoreDataAccess.Open checks for "User Id"/"Password"
//   FALHAS       failures injected for tests: the next call of an operation fails once
//
// Text keys (document type, series, article, logins) compare without regard to case, as
// the default collation of the company's SQL Server does; passwords compare exactly.
// Every function raises RuntimeError with SQLite's message when the file cannot be used.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "automation/object.h"
#include "automation/text.h"

namespace vantrel::substitutes::erp {

struct Article {
    automation::Text code{};
    automation::Text description{};
    automation::Text unit = u"UN";
    double vatRate = 23;  // percent; must be one of the four rates of TAXASIVA
    double price = 0;
    automation::Text warehouse = u"A1";
};

// Creates the company database of `catalog` with its tables and the default VAT rates and
// document types, creating the databases folder when needed. An existing file is replaced
// when `replace` is true; otherwise it is an error.
void createCompanyDatabase(automation::TextView catalog, bool replace = false);

void addArticle(automation::TextView catalog, const Article& article);
// An ERP user that NextApiConnection.Connect accepts ("Api Next" Login and password).
void addErpUser(automation::TextView catalog, automation::TextView login,
                automation::TextView password);
// A SQL Server login that CoreDataAccess.Open accepts (User Id and Password).
void addSqlLogin(automation::TextView catalog, automation::TextView login,
                 automation::TextView password);
void addDocumentType(automation::TextView catalog, automation::TextView type,
                     automation::TextView description);
// The rates (percent) whose bases go to Base1, Base2, Base3 and Base4.
void setVatRates(automation::TextView catalog, const std::array<double, 4>& rates);

// Operations of the stand-in ERP's document object that a failure can be injected into.
namespace operation {
inline constexpr char16_t Validar[] = u"Validar";
inline constexpr char16_t Inserir[] = u"Inserir";
inline constexpr char16_t Finalizar[] = u"Finalizar";
inline constexpr char16_t Remover[] = u"Remover";
inline constexpr char16_t AdicionaLinha[] = u"AdicionaLinha";  // answers False, adds nothing
// Every operation a failure can be injected into.
inline constexpr const char16_t* kAll[] = {AdicionaLinha, Validar, Inserir, Finalizar, Remover};
}  // namespace operation

// The next call of `operation` on any document of this company fails once: it returns 1
// and AllLogFileMessages holds `message` (or a message naming the injected failure).
// Kept in the database (table FALHAS), so it also reaches a stand-in in another process.
// AdicionaLinha is the exception to "next call": a document that has already added lines
// with none pending does not look again, so a failure armed then waits for the next
// document's lines.
// NextApiConnection.SimularFalha(operation[, message]) does the same from a script.
void injectFailure(automation::TextView catalog, automation::TextView operation,
                   automation::TextView message = {});

// A document to store through the stand-in ERP's own members (see insertDocument).
struct LineDraft {
    automation::Text article{};
    double quantity = 1;
    std::optional<double> price{};  // none: the article's price (SugereValoresLin)
    std::optional<double> vatRate{};
    automation::Text description{};  // empty: the article's description
    std::int32_t lineType = 1;       // 1 article line, 2 comment line (no article, no value)
    bool cancelled = false;          // stored with LINANU = -1
    double discount = 0;             // percent
};

struct DocumentDraft {
    automation::Text type{};
    automation::Text series{};
    std::int16_t year = 0;
    std::int32_t number = 0;  // 0: the next number of the type, series and year
    automation::Text customer{};
    std::optional<double> date{};  // none: today
    std::vector<LineDraft> lines{};
};

// Stores a document exactly as a script would: NewSalesDocument, Cab, NewDocumentLine,
// SugereValoresLin, AdicionaLinha and Inserir on a connected NextApiConnection (`api`).
// Returns the number the document got; RuntimeError (with AllLogFileMessages) on failure.
std::int32_t insertDocument(const automation::ObjectRef& api, const DocumentDraft& document);

}  // namespace vantrel::substitutes::erp
