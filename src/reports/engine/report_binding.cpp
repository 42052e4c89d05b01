// Points every table of the open report, and of its subreports, at the company database.
#include "automation/runtime_error.h"
#include "reports/engine/collection.h"
#include "reports/engine/crystal_report_main.h"
#include "reports/engine/report_error_box.h"

namespace vantrel::reports::engine {

using automation::T;
namespace msgbox = interfaces::msgbox;

namespace {
// Report object kind of a subreport.
constexpr std::int32_t kSubreportObject = 5;
// SetPrivateData kind of an ADO recordset.
constexpr std::int16_t kRecordsetData = 3;
}  // namespace

Text CrystalReportMain::databaseFor(TextView tableName) const {
    // Tables of the maker's own schema ("tlk...") always live in the main database.
    if (automation::trim(nomeBaseDadosNext_).empty()) return nomeBaseDados_;
    if (automation::lcase(automation::left(tableName, 3)) == u"tlk") return nomeBaseDados_;
    return nomeBaseDadosNext_;
}

bool CrystalReportMain::pLigaMapaBD() {
    try {
        Executar(T("Inicio de atribuição da base de dados ao mapa"));
        ObjectRef database = m_Mapa.object(u"Database");
        pIndicarBD(database);
        Executar(u"Atribuir a base de dados aos subreports");
        forEachItem(m_Mapa.object(u"Areas"), [&](const ObjectRef& area) {
            forEachItem(area.object(u"Sections"), [&](const ObjectRef& section) {
                forEachItem(section.object(u"ReportObjects"), [&](const ObjectRef& item) {
                    if (item.get(u"Kind").toLong() != kSubreportObject) return;
                    ObjectRef subreport = item.call(u"OpenSubreport").toObject();
                    ObjectRef subDatabase = subreport.object(u"Database");
                    pIndicarBD(subDatabase);
                });
            });
        });
        Executar(u"Fim de atribuir a base de dados aos subreports");
        return true;
    } catch (...) {
        showError(automation::currentError(), where::pLigaMapaBD);
        return false;
    }
}

bool CrystalReportMain::pIndicarBD(ObjectRef& db) {
    bool result = true;
    try {
        Executar(T("Inicio de ligação das tabelas da base de dados as tabelas do mapa"));
        const bool version10 = versao_ == versao::Crystal10;
        forEachItem(db.object(u"Tables"), [&](const ObjectRef& table) {
            const Text name = table.get(u"Name").toText();
            const Text database = databaseFor(name);
            if (version10) {
                auto property = [&](const char16_t* propertyName, const Text& value) {
                    table.object(u"ConnectionProperties", propertyName).put(u"Value", value);
                };
                property(u"Provider", u"SQLOLEDB");
                property(u"Data Source", servidor_);
                property(u"User ID", userId_);
                property(u"Password", password_);
                property(u"Initial Catalog", database);
            } else {
                table.call(u"SetLogOnInfo", servidor_, database, userId_, password_);
            }
            if (table.get(u"TestConnectivity").toBool()) return;
            result = false;
            Text message = T("Erro na ligação a base de dados") + u"\r\n";
            if (version10) {
                message += u"Servidor:";
                message +=
                    table.object(u"ConnectionProperties", u"Data Source").get(u"Value").toText();
                message += u"\r\nTabela:";
                message += name;
            }
            services_.dialogs->messageBox(message, msgbox::Critical | msgbox::OkOnly, Text());
        });
        Executar(T("Fim de ligação das tabelas da base de dados as tabelas do mapa"));
        return result;
    } catch (...) {
        showError(automation::currentError(), where::pIndicarBD);
        return false;
    }
}

bool CrystalReportMain::pIndicarBDRecordset(ObjectRef& rs) {
    try {
        Executar(u"Ligar o mapa a base de dados");
        // Only the first table takes the recordset; the others keep their own source.
        ObjectRef table = m_Mapa.object(u"Database").object(u"Tables").object(u"Item", 1);
        Variant cell(rs);
        table.call(u"SetPrivateData", kRecordsetData, automation::byRef(cell));
        rs = cell.toObject();
        return true;
    } catch (...) {
        showError(automation::currentError(), where::pIndicarBDRecordset);
        return false;
    }
}

}  // namespace vantrel::reports::engine
