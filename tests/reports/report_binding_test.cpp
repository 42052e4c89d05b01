// Binding a report and its subreports to the company database.
#include <gtest/gtest.h>

#include "reports/report_test_support.h"

namespace vantrel::reports::testing {

using automation::ObjectRef;
using automation::Text;
using automation::TextView;

namespace {

using automation::T;
using engine::CrystalReportMain;
using substitutes::reports::DatabaseTable;
using Access = engine::CrystalReportMainTestAccess;
namespace msgbox = interfaces::msgbox;

// Main report with two tables; subreports in two different areas, and a subreport inside
// a subreport (which keeps its own connection).
const std::string kReport = reportFile(
    "title: Vendas\n"
    "table: tlkEmpresa\n"
    "table: ARTIGO\n"
    "area: Cabecalho\n"
    "  section: C1\n"
    "    object: text Titulo\n"
    "    subreport: Primeiro\n"
    "      table: DOCGCLIN\n"
    "      area: A\n"
    "        section: S\n"
    "          subreport: Interno\n"
    "            table: INTERNO\n"
    "          end\n"
    "    end\n"
    "area: Rodape\n"
    "  section: R1\n"
    "    object: field Total\n"
    "  section: R2\n"
    "    subreport: Segundo\n"
    "      table: TLK_Config\n"
    "      table: Vendas\n"
    "    end\n");

class ReportBindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        m.in_Mapa(folder.write("Vendas.rpt", kReport));
        m.in_Servidor(u"SRV01");
        m.In_NomeBaseDados(u"SISTEMA");
        m.in_UserId(u"sa");
        m.in_Password(u"segredo");
    }
    // Opens the report and binds it; returns pLigaMapaBD's result.
    bool bind() {
        EXPECT_TRUE(Access::pStartCrystal(m));
        EXPECT_TRUE(Access::pAbrirFicheiroMapa(m));
        return Access::pLigaMapaBD(m);
    }
    std::shared_ptr<substitutes::reports::CrystalReport> report() { return h.factory.lastReport(); }

    TempFolder folder;
    ScopedDataFolder data{folder.path()};
    EngineHarness h;
    CrystalReportMain& m = *h.main;
};

TEST_F(ReportBindingTest, VersionTenWritesFivePropertiesInOrder) {
    makeCompanyDatabase(folder.path(), "SISTEMA",
                        {"tlkEmpresa", "ARTIGO", "DOCGCLIN", "TLK_Config", "Vendas"});
    EXPECT_TRUE(bind());
    auto table = report()->tables()[1];
    EXPECT_EQ(table->connectionProperties(),
              (std::vector<std::pair<Text, Text>>{{u"Provider", u"SQLOLEDB"},
                                                  {u"Data Source", u"SRV01"},
                                                  {u"User ID", u"sa"},
                                                  {u"Password", u"segredo"},
                                                  {u"Initial Catalog", u"SISTEMA"}}));
    EXPECT_FALSE(table->logOnInfo().has_value());
    EXPECT_TRUE(h.dialogs.boxes.empty());
}

TEST_F(ReportBindingTest, MainReportFirstThenSubreportsInOrder) {
    EXPECT_TRUE(bind());
    std::vector<Text> order;
    for (const auto& call : h.factory.log()->calls()) {
        if (call.member == u"TestConnectivity") order.push_back(call.object);
    }
    EXPECT_EQ(order,
              (std::vector<Text>{u"Vendas.rpt:tlkEmpresa", u"Vendas.rpt:ARTIGO",
                                 u"Vendas.rpt/Primeiro:DOCGCLIN", u"Vendas.rpt/Segundo:TLK_Config",
                                 u"Vendas.rpt/Segundo:Vendas"}));
    // The subreport inside a subreport is left with its own connection.
    auto inner = report()->subreports()[0]->subreports()[0];
    EXPECT_TRUE(inner->tables()[0]->connectionProperties().empty());
    EXPECT_EQ(h.events,
              (std::vector<Text>{
                  T("Instancia runtime crystal reports versão 10"), u"Abrir Mapa",
                  u"Ficheiro de parametros ->", T("Inicio de atribuição da base de dados ao mapa"),
                  T("Inicio de ligação das tabelas da base de dados as tabelas do mapa"),
                  T("Fim de ligação das tabelas da base de dados as tabelas do mapa"),
                  u"Atribuir a base de dados aos subreports",
                  T("Inicio de ligação das tabelas da base de dados as tabelas do mapa"),
                  T("Fim de ligação das tabelas da base de dados as tabelas do mapa"),
                  T("Inicio de ligação das tabelas da base de dados as tabelas do mapa"),
                  T("Fim de ligação das tabelas da base de dados as tabelas do mapa"),
                  u"Fim de atribuir a base de dados aos subreports"}));
}

TEST_F(ReportBindingTest, VersionEightFiveLogsOnEachTable) {
    m.VersaoCRYSTAL(1);
    m.in_NomeBaseDados_Next(u"EMPRESA");
    makeCompanyDatabase(folder.path(), "SISTEMA", {"tlkEmpresa", "TLK_Config"});
    makeCompanyDatabase(folder.path(), "EMPRESA", {"ARTIGO", "DOCGCLIN", "Vendas"});
    EXPECT_TRUE(bind());
    EXPECT_TRUE(h.dialogs.boxes.empty());
    auto tables = report()->tables();
    ASSERT_TRUE(tables[0]->logOnInfo().has_value());
    EXPECT_EQ(tables[0]->logOnInfo()->server, u"SRV01");
    EXPECT_EQ(tables[0]->logOnInfo()->database, u"SISTEMA");
    EXPECT_EQ(tables[0]->logOnInfo()->user, u"sa");
    EXPECT_EQ(tables[0]->logOnInfo()->password, u"segredo");
    EXPECT_EQ(tables[1]->logOnInfo()->database, u"EMPRESA");
    EXPECT_TRUE(tables[1]->connectionProperties().empty());
    EXPECT_EQ(h.factory.log()->linesOf(u"SetLogOnInfo")[0],
              u"Vendas.rpt:tlkEmpresa.SetLogOnInfo(\"SRV01\", \"SISTEMA\", \"sa\", \"segredo\")");
}

TEST_F(ReportBindingTest, TlkPrefixChoosesTheMainDatabase) {
    struct Case {
        const char16_t* next;
        const char16_t* tlkEmpresa;
        const char16_t* artigo;
        const char16_t* tlkConfig;
    };
    const std::vector<Case> cases = {
        {u"", u"SISTEMA", u"SISTEMA", u"SISTEMA"},
        {u"   ", u"SISTEMA", u"SISTEMA", u"SISTEMA"},
        {u"EMPRESA", u"SISTEMA", u"EMPRESA", u"SISTEMA"},
    };
    for (const auto& c : cases) {
        EngineHarness run;
        run.main->in_Mapa(m.in_Mapa());
        run.main->In_NomeBaseDados(u"SISTEMA");
        run.main->in_NomeBaseDados_Next(c.next);
        Access::pStartCrystal(*run.main);
        Access::pAbrirFicheiroMapa(*run.main);
        Access::pLigaMapaBD(*run.main);
        auto rpt = run.factory.lastReport();
        EXPECT_EQ(rpt->tables()[0]->connectionProperty(u"Initial Catalog"), Text(c.tlkEmpresa));
        EXPECT_EQ(rpt->tables()[1]->connectionProperty(u"Initial Catalog"), Text(c.artigo));
        auto second = rpt->subreports()[1]->tables();
        EXPECT_EQ(second[0]->connectionProperty(u"Initial Catalog"),
                  Text(c.tlkConfig));                                                  // TLK_Config
        EXPECT_EQ(second[1]->connectionProperty(u"Initial Catalog"), Text(c.artigo));  // Vendas
    }
}

TEST_F(ReportBindingTest, FailedTestIsReportedPerTableInVersionTen) {
    makeCompanyDatabase(folder.path(), "SISTEMA",
                        {"tlkEmpresa", "DOCGCLIN", "TLK_Config", "Vendas"});
    EXPECT_TRUE(bind());
    ASSERT_EQ(h.dialogs.boxes.size(), 1u);
    const ShownBox& box = h.dialogs.boxes[0];
    EXPECT_EQ(box.text, T("Erro na ligação a base de dados\r\nServidor:SRV01\r\nTabela:ARTIGO"));
    EXPECT_EQ(box.style, msgbox::Critical | msgbox::OkOnly);
    ASSERT_TRUE(box.title.has_value());
    EXPECT_EQ(*box.title, u"");
    // The tables after the failing one were still bound and tested.
    EXPECT_EQ(h.factory.log()->linesOf(u"TestConnectivity").size(), 5u);
    EXPECT_EQ(report()->tables()[1]->lastConnectivityProblem(),
              u"no table ARTIGO in " + substitutes::databaseFile(u"SISTEMA"));
}

TEST_F(ReportBindingTest, FailedTestMessageOfVersionEightFiveEndsAfterTheFirstLine) {
    m.VersaoCRYSTAL(1);
    EXPECT_TRUE(bind());
    ASSERT_EQ(h.dialogs.boxes.size(), 5u);
    for (const auto& box : h.dialogs.boxes) {
        EXPECT_EQ(box.text, T("Erro na ligação a base de dados\r\n"));
    }
}

TEST_F(ReportBindingTest, IndicarBDTellsWhetherEveryTableConnected) {
    makeCompanyDatabase(folder.path(), "SISTEMA", {"tlkEmpresa"});
    EXPECT_TRUE(Access::pStartCrystal(m));
    EXPECT_TRUE(Access::pAbrirFicheiroMapa(m));
    ObjectRef db = m.m_Mapa.object(u"Database");
    EXPECT_FALSE(Access::pIndicarBD(m, db));  // ARTIGO is missing
    makeCompanyDatabase(folder.path(), "SISTEMA", {"ARTIGO"});
    EXPECT_TRUE(Access::pIndicarBD(m, db));
}

TEST_F(ReportBindingTest, ErrorInOneDatabaseEndsOnlyThatCall) {
    // A version-10 engine on a runtime whose tables know only SetLogOnInfo: every
    // ConnectionProperties write fails, once per database, and the walk goes on.
    class OldRuntime : public automation::ObjectFactory {
    public:
        explicit OldRuntime(std::shared_ptr<substitutes::reports::CallLog> log)
            : log_(std::move(log)) {}
        ObjectRef create(TextView) override {
            return substitutes::reports::createReportRuntime(u"CrystalRuntime.Application.8.5",
                                                             log_);
        }

    private:
        std::shared_ptr<substitutes::reports::CallLog> log_;
    };
    OldRuntime factory(h.factory.log());
    interfaces::Services services = h.services();
    services.factory = &factory;
    CrystalReportMain main(services);
    main.in_Mapa(m.in_Mapa());
    Access::pStartCrystal(main);
    Access::pAbrirFicheiroMapa(main);
    EXPECT_TRUE(Access::pLigaMapaBD(main));
    ASSERT_EQ(h.dialogs.boxes.size(), 3u);  // main report, first and second subreport
    for (const auto& box : h.dialogs.boxes) {
        EXPECT_TRUE(automation::startsWith(box.text, u"Erro 438\r\n("))
            << automation::toUtf8(box.text);
        EXPECT_TRUE(automation::endsWith(box.text, T("\r\nNa função pIndicarBD do modCrystal")));
    }
    EXPECT_EQ(h.factory.log()->linesOf(u"OpenSubreport").size(), 2u);
}

TEST_F(ReportBindingTest, NoOpenReportFailsIntoTheBindingBox) {
    EXPECT_FALSE(Access::pLigaMapaBD(m));
    ASSERT_EQ(h.dialogs.boxes.size(), 1u);
    EXPECT_EQ(h.dialogs.boxes[0].text, u"Erro 91\r\n(" + automation::standardDescription(91) +
                                           T(")\r\nNa função pLigaMapaBD do modCrystal"));
}

TEST_F(ReportBindingTest, RecordsetGoesToTheFirstTableOnly) {
    EXPECT_TRUE(Access::pStartCrystal(m));
    EXPECT_TRUE(Access::pAbrirFicheiroMapa(m));
    ObjectRef rs = automation::makeObject<FakeControl>();
    const ObjectRef given = rs;
    EXPECT_TRUE(Access::pIndicarBDRecordset(m, rs));
    EXPECT_EQ(rs, given);
    auto tables = report()->tables();
    ASSERT_TRUE(tables[0]->privateData().has_value());
    EXPECT_EQ(tables[0]->privateData()->first, 3);
    EXPECT_FALSE(tables[1]->privateData().has_value());
    EXPECT_EQ(h.events.back(), u"Ligar o mapa a base de dados");
}

TEST_F(ReportBindingTest, RecordsetOnReportWithoutTablesFails) {
    m.in_Mapa(folder.write("Vazio.rpt", reportFile("title: Vazio\n")));
    EXPECT_TRUE(Access::pStartCrystal(m));
    EXPECT_TRUE(Access::pAbrirFicheiroMapa(m));
    ObjectRef rs = automation::makeObject<FakeControl>();
    EXPECT_FALSE(Access::pIndicarBDRecordset(m, rs));
    ASSERT_EQ(h.dialogs.boxes.size(), 1u);
    EXPECT_EQ(h.dialogs.boxes[0].text, u"Erro 9\r\n(" + automation::standardDescription(9) +
                                           T(")\r\nNa função pIndicarBDRecordset do modCrystal"));
}

}  // namespace
}  // namespace vantrel::reports::testing
