// Points every table of the open report, and of its subreports, at the company database.
#include "automation/runtime_error.h"
#include "interfaces/crystal_runtime.h"
#include "reports/engine/crystal_report_main.h"
#include "reports/engine/report_error_box.h"

namespace vantrel::reports::engine {

using automation::ObjectRef;
using automation::T;
using automation::Text;
using automation::TextView;
using automation::Variant;
namespace msgbox = interfaces::msgbox;

namespace crystal = interfaces::crystal;

namespace {
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
    return guarded(where::pLigaMapaBD, [&] {
        Executar(T("Inicio de atribuição da base de dados ao mapa"));
        const crystal::Report report(m_Mapa);
        ObjectRef database = m_Mapa.object(u"Database");
        pIndicarBD(database);
        Executar(u"Atribuir a base de dados aos subreports");
        report.Areas().forEach([&](const ObjectRef& area) {
            crystal::Sections(area).forEach([&](const ObjectRef& section) {
                crystal::ReportObjects(section).forEach([&](const ObjectRef& item) {
                    const crystal::ReportObject object(item);
                    if (object.Kind() != crystal::ReportObject::kSubreport) return;
                    ObjectRef subDatabase = object.OpenSubreport().ref().object(u"Database");
                    pIndicarBD(subDatabase);
                });
            });
        });
        Executar(u"Fim de atribuir a base de dados aos subreports");
        return true;
    });
}

bool CrystalReportMain::pIndicarBD(ObjectRef& db) {
    return guarded(where::pIndicarBD, [&] {
        bool result = true;
        Executar(T("Inicio de ligação das tabelas da base de dados as tabelas do mapa"));
        const bool version10 = versao_ == versao::Crystal10;
        crystal::ReportDatabase(db).Tables().forEach([&](const ObjectRef& item) {
            const crystal::DatabaseTable table(item);
            const Text name = table.Name();
            const Text database = databaseFor(name);
            if (version10) {
                table.setConnectionProperty(u"Provider", u"SQLOLEDB");
                table.setConnectionProperty(u"Data Source", servidor_);
                table.setConnectionProperty(u"User ID", userId_);
                table.setConnectionProperty(u"Password", password_);
                table.setConnectionProperty(u"Initial Catalog", database);
            } else {
                table.SetLogOnInfo(servidor_, database, userId_, password_);
            }
            if (table.TestConnectivity()) return;
            result = false;
            Text message = T("Erro na ligação a base de dados") + u"\r\n";
            if (version10) {
                message += u"Servidor:";
                message += table.ConnectionProperty(u"Data Source");
                message += u"\r\nTabela:";
                message += name;
            }
            services_.dialogs->messageBox(message, msgbox::Critical | msgbox::OkOnly, Text());
        });
        Executar(T("Fim de ligação das tabelas da base de dados as tabelas do mapa"));
        return result;
    });
}

bool CrystalReportMain::pIndicarBDRecordset(ObjectRef& rs) {
    return guarded(where::pIndicarBDRecordset, [&] {
        Executar(u"Ligar o mapa a base de dados");
        // Only the first table takes the recordset; the others keep their own source.
        const crystal::DatabaseTable table(crystal::Report(m_Mapa).Database().Tables().Item(1));
        Variant cell(rs);
        table.SetPrivateData(kRecordsetData, cell);
        rs = cell.toObject();
        return true;
    });
}

}  // namespace vantrel::reports::engine
