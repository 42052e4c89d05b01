#include "erp/company_database.h"

#include <filesystem>
#include <system_error>

#include "data_folder.h"
#include "erp/schema.h"

namespace vantrel::substitutes::erp {

using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;

namespace {

std::shared_ptr<Database> openCatalog(TextView catalog) {
    if (catalog.empty())
        throw RuntimeError(automation::errc::InvalidProcedureCall, u"CompanyDatabase",
                           u"No catalog named.");
    return openCompanyDatabase(databaseFile(catalog));
}

void putLogin(TextView catalog, const char* table, TextView login, TextView password) {
    auto db = openCatalog(catalog);
    std::string sql = std::string("INSERT INTO ") + table +
                      " (LOGIN, PASSWORD) VALUES (?1, ?2) ON CONFLICT (LOGIN) DO UPDATE SET "
                      "PASSWORD = excluded.PASSWORD";
    auto q = db->prepare(sql);
    q.bind(1, login).bind(2, password);
    q.run();
}

}  // namespace

void createCompanyDatabase(TextView catalog, bool replace) {
    if (catalog.empty())
        throw RuntimeError(automation::errc::InvalidProcedureCall, u"CompanyDatabase",
                           u"No catalog named.");
    if (dataFolder().empty()) {
        throw RuntimeError(automation::errc::PathNotFound, u"CompanyDatabase",
                           u"No data folder: give one with --data or QUORILVANTREL_DATA.");
    }
    Text file = databaseFile(catalog);
    std::filesystem::path path = fileSystemPath(file);
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec) {
        throw RuntimeError(
            automation::errc::PathFileAccessError, u"CompanyDatabase",
            automation::fromUtf8(ec.message()) + u": " + path.parent_path().u16string());
    }
    if (std::filesystem::exists(path, ec)) {
        if (!replace) {
            throw RuntimeError(automation::errc::PathFileAccessError, u"CompanyDatabase",
                               u"The company database already exists: " + file);
        }
        std::filesystem::remove(path, ec);
        if (ec) {
            throw RuntimeError(automation::errc::PathFileAccessError, u"CompanyDatabase",
                               automation::fromUtf8(ec.message()) + u": " + file);
        }
    }
    auto db = Database::open(file, Database::Mode::Create);
    createSchema(*db);
}

void addArticle(TextView catalog, const Article& a) {
    auto db = openCatalog(catalog);
    auto q = db->prepare(
        "INSERT OR REPLACE INTO ARTIGOS (ARTIGO, DESCRICAO, UNIDADE, IVA, PRECO, ARMAZEM) VALUES "
        "(?1, ?2, ?3, ?4, ?5, ?6)");
    q.bind(1, a.code)
        .bind(2, a.description)
        .bind(3, a.unit)
        .bind(4, a.vatRate)
        .bind(5, a.price)
        .bind(6, a.warehouse);
    q.run();
}

void addErpUser(TextView catalog, TextView login, TextView password) {
    putLogin(catalog, "UTILIZADORES", login, password);
}

void addSqlLogin(TextView catalog, TextView login, TextView password) {
    putLogin(catalog, "LOGINSSQL", login, password);
}

void addDocumentType(TextView catalog, TextView type, TextView description) {
    auto db = openCatalog(catalog);
    auto q = db->prepare("INSERT OR REPLACE INTO TIPOSDOC (TPDOCUM, DESCRICAO) VALUES (?1, ?2)");
    q.bind(1, type).bind(2, description);
    q.run();
}

void setVatRates(TextView catalog, const std::array<double, 4>& rates) {
    auto db = openCatalog(catalog);
    Transaction t(*db);
    auto q = db->prepare("INSERT OR REPLACE INTO TAXASIVA (BASE, TAXA) VALUES (?1, ?2)");
    for (int k = 0; k < 4; ++k) {
        q.reset();
        q.bind(1, k + 1).bind(2, rates[static_cast<std::size_t>(k)]);
        q.run();
    }
    t.commit();
}

void injectFailure(TextView catalog, TextView operation, TextView message) {
    auto db = openCatalog(catalog);
    auto q = db->prepare("INSERT OR REPLACE INTO FALHAS (OPERACAO, MENSAGEM) VALUES (?1, ?2)");
    q.bind(1, operation).bind(2, message);
    q.run();
}

std::int32_t insertDocument(const ObjectRef& api, const DocumentDraft& draft) {
    ObjectRef doc = api.object(u"NewSalesDocument");
    ObjectRef cab = doc.object(u"Cab");
    cab.put(u"TipoDocumento", draft.type);
    cab.put(u"serie", draft.series);
    cab.put(u"ano", draft.year);
    cab.put(u"NossoNoDocumento", draft.number);
    cab.put(u"Entidade", draft.customer);
    if (draft.date) cab.put(u"Data", automation::Variant::date(*draft.date));
    for (const LineDraft& l : draft.lines) {
        ObjectRef line = api.object(u"NewDocumentLine");
        line.put(u"TipoDeLinha", l.lineType);
        line.put(u"Artigo", l.article);
        automation::Variant lineRef(line);
        doc.call(u"SugereValoresLin", automation::byRef(lineRef), true, true, true, true, true,
                 true, true);
        line.put(u"Quantidade", l.quantity);
        line.put(u"QuantidadeOrigem", l.quantity);
        if (l.price) {
            line.put(u"PrecoUnitario", *l.price);
            line.put(u"PrecoUnitarioIntroduzido", *l.price);
        }
        if (l.vatRate) line.put(u"TaxaIva", *l.vatRate);
        if (!l.description.empty()) line.put(u"Descricao", l.description);
        if (l.discount != 0) line.put(u"Desconto", l.discount);
        if (l.cancelled) line.put(u"LinhaAnulada", true);
        // A refused line must not leave a document stored without it.
        if (!doc.call(u"AdicionaLinha", automation::byRef(lineRef)).toBool()) {
            throw RuntimeError(automation::errc::ApplicationDefined, u"AdicionaLinha",
                               doc.get(u"AllLogFileMessages").toText());
        }
    }
    if (doc.call(u"Inserir").toLong() != 0) {
        throw RuntimeError(automation::errc::ApplicationDefined, u"Inserir",
                           doc.get(u"AllLogFileMessages").toText());
    }
    return cab.get(u"NossoNoDocumento").toLong();
}

}  // namespace vantrel::substitutes::erp
