// The stand-in report runtime: its report files, objects, call log and connectivity test.
#include <gtest/gtest.h>

#include "reports/report_test_support.h"
#include "reports/report_viewer.h"

namespace vantrel::reports::testing {

using automation::ObjectRef;
using automation::Text;

namespace {

using automation::RuntimeError;
using automation::T;
using namespace substitutes::reports;

const std::string kFull = reportFile(
    "# comment\n"
    "\n"
    "Title: Vendas por artigo\n"
    "driver: DISPLAY\n"
    "printer: Escritorio\n"
    "port: LPT1:\n"
    "orientation: 2\n"
    "paper-size: 5\n"
    "paper-source: 15\n"
    "margin-top: 100\n"
    "margin-bottom: 200\n"
    "margin-left: 300\n"
    "margin-right: 400\n"
    "table: tlkEmpresa\n"
    "table: ARTIGO\n"
    "area: Detalhe\n"
    "  section: D1\n"
    "    object: field Artigo\n"
    "    object: 9 Grafico\n"
    "    subreport: Resumo\n"
    "      title: Resumo\n"
    "      table: DOCGCLIN\n"
    "      parameter: Interno\n"
    "    end\n"
    "parameter: DataInicial\n"
    "  prompt: 01Data inicial\n"
    "  type: date\n"
    "  offer: 2026-01-31\n"
    "parameter: Valor\n"
    "  prompt: 02Valor\n"
    "  type: number\n"
    "  offer: 12.5\n"
    "  offer: -3\n"
    "parameter: Ativo\n"
    "  type: 9\n"
    "  offer: true\n"
    "parameter: Series\n"
    "  prompt: 04Séries\n"
    "  multiple: yes\n"
    "  offer: A\n"
    "  offer: B\n"
    "parameter: Momento\n"
    "  type: datetime\n"
    "  offer: 2026-07-14 09:30\n");

// The lines without what the runtime answered ("-> printed to ...").
std::vector<Text> withoutNotes(std::vector<Text> lines) {
    for (auto& line : lines) line = line.substr(0, line.find(u" -> "));
    return lines;
}

TEST(ReportFile, ReadsEverySetting) {
    ReportDefinition r = parseReportText(kFull, u"Vendas.rpt");
    EXPECT_EQ(r.name, u"Vendas.rpt");
    EXPECT_EQ(r.title, u"Vendas por artigo");
    EXPECT_EQ(r.driverName, u"DISPLAY");
    EXPECT_EQ(r.printerName, u"Escritorio");
    EXPECT_EQ(r.portName, u"LPT1:");
    EXPECT_EQ(r.paperOrientation, 2);
    EXPECT_EQ(r.paperSize, 5);
    EXPECT_EQ(r.paperSource, 15);
    EXPECT_EQ(r.topMargin, 100);
    EXPECT_EQ(r.bottomMargin, 200);
    EXPECT_EQ(r.leftMargin, 300);
    EXPECT_EQ(r.rightMargin, 400);
    EXPECT_EQ(r.tables, (std::vector<Text>{u"tlkEmpresa", u"ARTIGO"}));
    ASSERT_EQ(r.areas.size(), 1u);
    const auto& objects = r.areas[0].sections.at(0).objects;
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[0].kind, kind::Field);
    EXPECT_EQ(objects[1].kind, 9);
    EXPECT_EQ(objects[2].kind, kind::Subreport);
    ASSERT_TRUE(objects[2].subreport);
    EXPECT_EQ(objects[2].subreport->title, u"Resumo");
    EXPECT_EQ(objects[2].subreport->tables, std::vector<Text>{u"DOCGCLIN"});
    EXPECT_EQ(objects[2].subreport->parameters.size(), 1u);

    ASSERT_EQ(r.parameters.size(), 5u);
    EXPECT_EQ(r.parameters[0].prompt, u"01Data inicial");
    EXPECT_EQ(r.parameters[0].valueType, 10);
    EXPECT_EQ(r.parameters[0].offeredValues.at(0).toDate(), automation::makeDate(2026, 1, 31));
    EXPECT_EQ(r.parameters[1].offeredValues.at(0).toDouble(), 12.5);
    EXPECT_EQ(r.parameters[1].offeredValues.at(1).toDouble(), -3);
    EXPECT_EQ(r.parameters[2].valueType, 9);
    EXPECT_TRUE(r.parameters[2].offeredValues.at(0).toBool());
    EXPECT_EQ(r.parameters[3].prompt, T("04Séries"));
    EXPECT_EQ(r.parameters[3].valueType, 12);
    EXPECT_TRUE(r.parameters[3].multipleValues);
    EXPECT_EQ(r.parameters[3].offeredValues.size(), 2u);
    EXPECT_EQ(r.parameters[4].offeredValues.at(0).toDate(),
              automation::makeDate(2026, 7, 14, 9, 30));
}

TEST(ReportFile, BadFilesNameTheFileAndTheLine) {
    struct Case {
        std::string text;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"title: sem cabecalho\n",
         "Mau.rpt, line 1: not a report file: the first line must be \"vantrel-report 1\""},
        {"", "Mau.rpt, line 1: not a report file: the first line must be \"vantrel-report 1\""},
        {reportFile("\ntabel: X\n"), "Mau.rpt, line 3: unknown key \"tabel\""},
        {reportFile("table X\n"), "Mau.rpt, line 2: expected \"key: value\", found \"table X\""},
        {reportFile("section: S\n"), "Mau.rpt, line 2: \"section\" needs an \"area\" first"},
        {reportFile("area: A\nobject: field F\n"),
         "Mau.rpt, line 3: a report object needs a section first"},
        {reportFile("area: A\nsection: S\nobject: slider F\n"),
         "Mau.rpt, line 4: unknown object kind \"slider\""},
        {reportFile("area: A\nsection: S\nobject: 5 F\n"),
         "Mau.rpt, line 4: a subreport is written \"subreport: NAME\" ... \"end\""},
        {reportFile("end\n"), "Mau.rpt, line 2: \"end\" without an open subreport"},
        {reportFile("area: A\nsection: S\nsubreport: R\ntable: T\n"),
         "Mau.rpt, line 4: subreport \"R\" has no \"end\""},
        {reportFile("prompt: X\n"), "Mau.rpt, line 2: \"prompt\" outside a parameter"},
        {reportFile("parameter: P\ntable: T\ntype: date\n"),
         "Mau.rpt, line 4: \"type\" outside a parameter"},
        {reportFile("parameter: P\ntype: colour\n"),
         "Mau.rpt, line 3: unknown parameter type \"colour\""},
        {reportFile("parameter: P\nmultiple: maybe\n"),
         "Mau.rpt, line 3: expected yes or no, found \"maybe\""},
        {reportFile("parameter: P\ntype: number\noffer: 1,5\n"),
         "Mau.rpt, line 4: \"1,5\" is not a number (use . as decimal point)"},
        // strtod alone took these as NaN, infinity and 16.
        {reportFile("parameter: P\ntype: number\noffer: nan\n"),
         "Mau.rpt, line 4: \"nan\" is not a number (use . as decimal point)"},
        {reportFile("parameter: P\ntype: currency\noffer: 1e999\n"),
         "Mau.rpt, line 4: \"1e999\" is not a number (use . as decimal point)"},
        {reportFile("parameter: P\ntype: number\noffer: 0x10\n"),
         "Mau.rpt, line 4: \"0x10\" is not a number (use . as decimal point)"},
        {reportFile("parameter: P\noffer: 2026-02-30\ntype: date\n"),
         "Mau.rpt, line 3: \"2026-02-30\" is not a date (yyyy-mm-dd)"},
        {reportFile("parameter: P\ntype: date\noffer: 31-01-2026\n"),
         "Mau.rpt, line 4: \"31-01-2026\" is not a date (yyyy-mm-dd)"},
        {reportFile("orientation: 99999\n"), "Mau.rpt, line 2: \"99999\" is out of range"},
        {reportFile("margin-top: 1cm\n"), "Mau.rpt, line 2: \"1cm\" is not a whole number"},
        {reportFile("table:\n"), "Mau.rpt, line 2: table without a name"},
    };
    for (const auto& c : cases) {
        try {
            parseReportText(c.text, u"Mau.rpt");
            ADD_FAILURE() << c.message << ": accepted";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), kBadReportFile);
            EXPECT_EQ(e.description(), T(c.message));
        }
    }
}

// One error for a report beyond the reader's bounds, at the line that crosses them; the
// bounds themselves are accepted.
TEST(ReportFile, OversizedReportsAreRefusedWithOneError) {
    auto times = [](std::size_t n, const std::string& lines) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i) s += lines;
        return s;
    };
    auto nested = [&](std::size_t depth) {
        return reportFile(times(depth, "area: A\nsection: S\nsubreport: R\n") +
                          times(depth, "end\n"));
    };
    const std::string sections = "area: A\nsection: S\n";
    struct Case {
        std::string text;
        const char* message;  // nullptr: accepted
    };
    const std::vector<Case> cases = {
        {nested(limit::SubreportDepth), nullptr},
        {nested(20000), "Big.rpt, line 52: subreport \"R\" lies more than 16 subreports deep"},
        {reportFile(times(limit::Tables, "table: T\n")), nullptr},
        {reportFile(times(60, "table: T\n") + sections + "subreport: R\n" +
                    times(41, "table: T\n") + "end\n"),
         "Big.rpt, line 105: more than 100 tables in the report and its subreports"},
        {reportFile(sections + times(limit::Subreports + 1, "subreport: R\nend\n")),
         "Big.rpt, line 104: more than 50 subreports"},
        {reportFile(std::string(limit::FileBytes, '#')),
         "Big.rpt: more than 1048576 bytes, too big for a report file"},
    };
    for (const auto& c : cases) {
        try {
            parseReportText(c.text, u"Big.rpt");
            EXPECT_EQ(c.message, nullptr) << c.message << ": accepted";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.description(), T(c.message ? c.message : "accepted"));
        }
    }
}

TEST(ReportFile, CrLfAndByteOrderMarkAreAccepted) {
    ReportDefinition r =
        parseReportText("\xEF\xBB\xBFvantrel-report 1\r\ntitle: T\r\ntable: A\r\n", u"x.rpt");
    EXPECT_EQ(r.title, u"T");
    EXPECT_EQ(r.tables, std::vector<Text>{u"A"});
}

TEST(ReportFile, MissingFileIsError53) {
    TempFolder folder;
    for (const Text& path : {folder.file("nada.rpt"), Text(), folder.file("")}) {
        try {
            loadReportFile(path);
            ADD_FAILURE() << "accepted";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), automation::errc::FileNotFound);
        }
    }
}

TEST(ReportFile, ExampleReportOfTheReadmeIsValid) {
    ReportDefinition r = loadReportFile(
        automation::fromUtf8(VANTREL_SOURCE_DIR "/examples/reports/VendasPorArtigo.rpt"));
    EXPECT_EQ(r.title, u"Vendas por artigo");
    EXPECT_EQ(r.parameters.size(), 4u);
}

class RuntimeObjectsTest : public ::testing::Test {
protected:
    std::shared_ptr<CrystalReport> open(const std::string& text,
                                        RuntimeVersion version = RuntimeVersion::Crystal10) {
        app = std::make_shared<CrystalApplication>(version, log);
        Text path = folder.write("Vendas.rpt", text);
        ObjectRef(app).call(u"OpenReport", path);
        return app->openedReports().back();
    }
    TempFolder folder;
    ScopedDataFolder data{folder.path()};
    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    std::shared_ptr<CrystalApplication> app;
};

TEST_F(RuntimeObjectsTest, MembersAnswerAndRecordWhatTheyAreGiven) {
    auto report = open(kFull);
    ObjectRef r(std::static_pointer_cast<automation::Object>(report));
    EXPECT_EQ(r.get(u"ReportTitle").toText(), u"Vendas por artigo");
    EXPECT_EQ(r.get(u"DriverName").toText(), u"DISPLAY");
    EXPECT_EQ(r.get(u"PaperOrientation").toInteger(), 2);
    r.put(u"PaperSize", std::int16_t{9});
    EXPECT_EQ(report->page().paperSize, 9);
    r.call(u"SelectPrinter", u"winspool", u"HP", u"USB001");
    EXPECT_EQ(r.get(u"DriverName").toText(), u"winspool");
    r.call(u"PrintOut", false, std::int16_t{3}, false);
    r.call(u"PrinterSetup", std::int16_t{0});
    ObjectRef tables = r.object(u"Database").object(u"Tables");
    EXPECT_EQ(tables.get(u"Count").toLong(), 2);
    EXPECT_EQ(tables.object(u"Item", 2).get(u"Name").toText(), u"ARTIGO");
    EXPECT_THROW(tables.object(u"Item", 3), RuntimeError);
    ObjectRef p = r.object(u"ParameterFields").object(u"Item", 2);
    EXPECT_EQ(p.get(u"ValueType").toLong(), 7);
    EXPECT_EQ(p.get(u"NumberOfDefaultValues").toLong(), 2);
    EXPECT_EQ(p.call(u"GetNthDefaultValue", 2).toDouble(), -3);
    EXPECT_THROW(p.call(u"GetNthDefaultValue", 3), RuntimeError);
    p.call(u"AddCurrentValue",
           u"12,5");  // texts convert by the locale, as a number parameter takes them
    EXPECT_THROW(p.call(u"AddCurrentValue", u"doze"), RuntimeError);
    ASSERT_EQ(report->parameters()[1]->currentValues().size(), 1u);
    EXPECT_EQ(report->parameters()[1]->currentValues()[0].toDouble(), 12.5);
    p.call(u"ClearCurrentValueAndRange");
    EXPECT_TRUE(report->parameters()[1]->currentValues().empty());
    ObjectRef options = r.object(u"ExportOptions");
    options.put(u"FormatType", std::int16_t{31});
    EXPECT_EQ(options.get(u"formattype").toLong(), 31);
    EXPECT_THROW(options.put(u"NoSuchOption", 1), RuntimeError);

    EXPECT_EQ(
        withoutNotes(log->lines()),
        (std::vector<Text>{u"Application 10.OpenReport(\"" + folder.file("Vendas.rpt") + u"\")",
                           u"Vendas.rpt.PaperSize = 9",
                           u"Vendas.rpt.SelectPrinter(\"winspool\", \"HP\", \"USB001\")",
                           u"Vendas.rpt.PrintOut(False, 3, False)", u"Vendas.rpt.PrinterSetup(0)",
                           u"Vendas.rpt.ParameterFields(Valor).AddCurrentValue(\"12,5\")",
                           u"Vendas.rpt.ParameterFields(Valor).AddCurrentValue(\"doze\")",
                           u"Vendas.rpt.ParameterFields(Valor).ClearCurrentValueAndRange()",
                           u"Vendas.rpt.ExportOptions.FormatType = 31"}));
}

TEST_F(RuntimeObjectsTest, OnlySubreportObjectsOpenSubreports) {
    auto report = open(kFull);
    ObjectRef r(std::static_pointer_cast<automation::Object>(report));
    ObjectRef objects = r.object(u"Areas")
                            .object(u"Item", 1)
                            .object(u"Sections")
                            .object(u"Item", 1)
                            .object(u"ReportObjects");
    EXPECT_EQ(objects.object(u"Item", 3).get(u"Kind").toLong(), 5);
    ObjectRef sub = objects.object(u"Item", 3).call(u"OpenSubreport").toObject();
    EXPECT_EQ(sub.get(u"ReportTitle").toText(), u"Resumo");
    EXPECT_EQ(sub.get(u"ReportTitle").toText(), report->subreports()[0]->title());
    EXPECT_THROW(objects.object(u"Item", 1).call(u"OpenSubreport"), RuntimeError);
}

TEST_F(RuntimeObjectsTest, VersionEightFiveTablesHaveNoConnectionProperties) {
    auto report = open(kFull, RuntimeVersion::Crystal85);
    ObjectRef table(std::static_pointer_cast<automation::Object>(report->tables()[0]));
    EXPECT_THROW(table.object(u"ConnectionProperties", u"Provider"), RuntimeError);
    table.call(u"SetLogOnInfo", u"SRV", u"EMPRESA", u"sa", u"pw");
    EXPECT_EQ(report->tables()[0]->catalog(), u"EMPRESA");
}

TEST_F(RuntimeObjectsTest, ConnectivityNeedsTheSqliteFileAndTheTable) {
    auto report = open(kFull);
    ObjectRef table(std::static_pointer_cast<automation::Object>(report->tables()[1]));  // ARTIGO
    auto test = [&] { return table.get(u"TestConnectivity").toBool(); };
    auto problem = [&] { return report->tables()[1]->lastConnectivityProblem(); };

    EXPECT_FALSE(test());
    EXPECT_EQ(problem(), u"no database named for the table");

    table.object(u"ConnectionProperties", u"Initial Catalog").put(u"Value", u"EMPRESA");
    EXPECT_EQ(table.object(u"ConnectionProperties", u"initial catalog").get(u"Value").toText(),
              u"EMPRESA");
    EXPECT_FALSE(test());
    EXPECT_EQ(problem(), u"no database file " + substitutes::databaseFile(u"EMPRESA"));
    EXPECT_FALSE(
        std::filesystem::exists(folder.path() / "databases" / "EMPRESA.sqlite"));  // not created

    folder.write("databases/EMPRESA.sqlite", std::string(2000, 'x'));
    EXPECT_FALSE(test());
    EXPECT_EQ(problem(), substitutes::databaseFile(u"EMPRESA") + u" is not a SQLite database");

    std::filesystem::remove(folder.path() / "databases" / "EMPRESA.sqlite");
    makeCompanyDatabase(folder.path(), "EMPRESA", {"DOCGCLIN"});
    EXPECT_FALSE(test());
    EXPECT_EQ(problem(), u"no table ARTIGO in " + substitutes::databaseFile(u"EMPRESA"));

    makeCompanyDatabase(folder.path(), "EMPRESA", {"artigo"});  // names match in any case
    EXPECT_TRUE(test());
    EXPECT_EQ(problem(), u"");
    EXPECT_EQ(log->linesOf(u"TestConnectivity").back(),
              u"Vendas.rpt:ARTIGO.TestConnectivity -> True");
}

TEST_F(RuntimeObjectsTest, ExportToDiskWritesAnAccountOfTheReport) {
    auto report = open(kFull);
    ObjectRef r(std::static_pointer_cast<automation::Object>(report));
    ObjectRef options = r.object(u"ExportOptions");
    options.put(u"DestinationType", std::int16_t{1});
    try {
        r.call(u"Export", false);
        ADD_FAILURE() << "exported without a file name";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), automation::errc::BadFileNameOrNumber);
    }
    // A format without a renderer of its own (14, Word) gets the plain-text account.
    options.put(u"DiskFileName", folder.file("saida.doc"));
    options.put(u"FormatType", std::int16_t{14});
    r.object(u"ParameterFields").object(u"Item", 4).call(u"AddCurrentValue", u"A");
    r.call(u"Export", false);
    std::ifstream in(folder.path() / "saida.doc");
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(all.find("Title: Vendas por artigo"), std::string::npos);
    EXPECT_NE(all.find("Format type: 14"), std::string::npos);
    EXPECT_NE(all.find("04Séries: \"A\""), std::string::npos);
}

TEST(ReportRuntimeFactory, CreatesBothVersionsByProgId) {
    ReportRuntimeFactory factory;
    ObjectRef ten = factory.create(u"CrystalRuntime.Application.10");
    ObjectRef old = factory.create(u"crystalruntime.application.8.5");
    ASSERT_EQ(factory.applications().size(), 2u);
    EXPECT_EQ(factory.applications()[0]->version(), RuntimeVersion::Crystal10);
    EXPECT_EQ(factory.applications()[1]->version(), RuntimeVersion::Crystal85);
    try {
        factory.create(u"CrystalRuntime.Application.11");
        FAIL() << "created";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), automation::errc::CannotCreateObject);
    }
}

TEST(ReportRuntimeFactory, RegistersWithTheStandInRegistry) {
    substitutes::StandInRegistry registry;
    auto log = std::make_shared<CallLog>();
    registerReportRuntime(registry, log);
    EXPECT_TRUE(registry.knows(u"CrystalRuntime.Application.10"));
    EXPECT_TRUE(registry.knows(u"CrystalRuntime.Application.8.5"));
    EXPECT_TRUE(registry.knows(u"CRVIEWERLibCtl.CRViewer"));
    EXPECT_TRUE(registry.knows(u"CrystalActiveXReportViewerLib10Ctl.CrystalActiveXReportViewer"));
    ObjectRef app = registry.create(u"CrystalRuntime.Application.8.5");
    EXPECT_THROW(app.call(u"OpenReport", u"/nao/existe.rpt"), RuntimeError);
    ASSERT_EQ(log->calls().size(), 1u);
    EXPECT_EQ(log->calls()[0].object, u"Application 8.5");
    EXPECT_EQ(log->calls()[0].note, u"failed: Report file not found: /nao/existe.rpt");
}

TEST(ReportViewer, KeepsAndRecordsWhatItIsGiven) {
    ReportRuntimeFactory factory;
    ObjectRef viewer =
        factory.create(u"CrystalActiveXReportViewerLib10Ctl.CrystalActiveXReportViewer");
    auto control = std::static_pointer_cast<ReportViewer>(viewer.shared());
    EXPECT_THROW(viewer.call(u"ViewReport"), RuntimeError);  // nothing to show yet
    ObjectRef report = automation::makeObject<FakeControl>();
    viewer.putRef(u"ReportSource", report);
    viewer.call(u"ViewReport");
    EXPECT_TRUE(viewer.get(u"IsBusy").toBool());
    EXPECT_FALSE(viewer.get(u"IsBusy").toBool());
    viewer.call(u"Zoom", std::int16_t{1});
    viewer.put(u"#343", true);
    viewer.put(u"Visible", false);
    viewer.put(u"EnablePrintButton", false);
    viewer.call(u"Move", 0, 0, 9000, 6000);
    EXPECT_EQ(control->reportSource(), report);
    EXPECT_TRUE(control->byDispatchId(343).toBool());
    EXPECT_TRUE(control->byDispatchId(251).isEmpty());
    EXPECT_FALSE(control->visible());
    EXPECT_FALSE(viewer.get(u"EnablePrintButton").toBool());

    EXPECT_TRUE(control->pressPrintButton());
    control->onPrintButton([&](bool& printItself) {
        viewer.call(u"#352");
        printItself = false;
    });
    EXPECT_FALSE(control->pressPrintButton());
    EXPECT_EQ(control->timesPrinted(), 2);
    EXPECT_EQ(factory.log()->linesOf(u"PrintButtonClicked"),
              (std::vector<Text>{u"Viewer 10.PrintButtonClicked() -> printed by the control",
                                 u"Viewer 10.PrintButtonClicked() -> left to the window"}));
    EXPECT_TRUE(factory.applications().empty());

    ObjectRef old = factory.create(u"CRVIEWERLibCtl.CRViewer");
    old.put(u"Visible", true);
    EXPECT_EQ(factory.log()->calls().back().line(), u"Viewer 8.5.Visible = True");
}

}  // namespace
}  // namespace vantrel::reports::testing
