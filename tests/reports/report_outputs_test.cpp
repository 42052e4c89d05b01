// CrystalReportMain: parameter values from the caller's list and window, and the printer,
// PDF, e-mail and Excel outputs, against the recording stand-in runtime.
#include <gtest/gtest.h>

#include "reports/report_test_support.h"
#include "windows/window_model.h"

namespace vantrel::reports::testing {

using automation::ObjectRef;
using automation::Text;
using automation::Variant;

namespace {

using automation::Array;
using automation::makeDate;
using automation::T;
using automation::VarType;
using Access = engine::CrystalReportMainTestAccess;
namespace msgbox = interfaces::msgbox;

// Prompts sort the rows: 01 to 06, whatever the order of the fields.
const std::string kReport = reportFile(
    "title: Vendas\n"
    "printer: Escritorio\n"
    "paper-size: 9\n"
    "orientation: 1\n"
    "parameter: Quando\n  prompt: 04Quando\n  type: datetime\n"
    "parameter: Quantia\n  prompt: 01Quantia\n  type: number\n"
    "parameter: Ativo\n  prompt: 02Ativo\n  type: boolean\n"
    "parameter: Series\n  prompt: 03Series\n  type: text\n  multiple: yes\n"
    "parameter: Preco\n  prompt: 05Preço\n  type: currency\n"
    "parameter: Desde\n  prompt: 06Desde\n  type: date\n");

class ReportOutputsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m.in_Mapa(folder.write("Vendas.rpt", kReport));
        ASSERT_TRUE(Access::pStartCrystal(m));
        ASSERT_TRUE(Access::pAbrirFicheiroMapa(m));
        h.factory.log()->clear();
    }
    std::shared_ptr<substitutes::reports::CrystalReport> report() { return h.factory.lastReport(); }
    // Current values of the parameter named `name`, as texts the log would show.
    std::vector<Text> values(const Text& name) {
        for (const auto& p : report()->parameters()) {
            if (p->definition().name != name) continue;
            std::vector<Text> out;
            for (const auto& v : p->currentValues())
                out.push_back(substitutes::reports::describeValue(v));
            return out;
        }
        return {u"<no such parameter>"};
    }
    // Types of the values the engine handed to AddCurrentValue, in order.
    std::vector<VarType> addedTypes() {
        std::vector<VarType> out;
        for (const auto& c : h.factory.log()->calls())
            if (c.member == u"AddCurrentValue") out.push_back(c.arguments.at(0).type());
        return out;
    }
    std::vector<Text> lines(const char16_t* member) { return h.factory.log()->linesOf(member); }
    // What one save dialog was given, in order, as "Member = value".
    std::vector<Text> dialogSettings(int dialog) {
        std::vector<Text> out;
        for (const auto& e : h.saveDialogs->events())
            if (e.dialog == dialog)
                out.push_back(e.member + u" = " + substitutes::reports::describeValue(e.value));
        return out;
    }
    bool runFailed() { return h.main->ExecutaMapa(Access::m_Valores(m), false); }

    TempFolder folder;
    ScopedDataFolder data{folder.path()};
    EngineHarness h;
    engine::CrystalReportMain& m = *h.main;
};

TEST_F(ReportOutputsTest, ListValuesConvertByTypeAndReplaceEarlierValues) {
    struct Case {
        std::vector<Text> pieces;  // rows 01 to 06
        std::vector<std::vector<Text>> expected;
    };
    const Text when = automation::formatDate(makeDate(2026, 7, 14, 15, 30, 0));
    const Text since = automation::formatShortDate(makeDate(2026, 1, 2));
    const Case cases[] = {
        {{u"12", u"Verdadeiro", u"A|B", when, u"2,5", since},
         {{u"12"},
          {u"True"},
          {u"\"A\"", u"\"B\""},
          {u"#14-07-2026#"},
          {u"2,5"},
          {u"#02-01-2026#"}}},
        {{u"  ", u"verdadeiro", u"", when, u"", since},
         {{u"0"}, {u"False"}, {}, {u"#14-07-2026#"}, {u"0"}, {u"#02-01-2026#"}}},
    };
    const Text names[] = {u"Quantia", u"Ativo", u"Series", u"Quando", u"Preco", u"Desde"};
    for (const auto& c : cases) {
        std::vector<Text> list{u"ignored"};
        list.insert(list.end(), c.pieces.begin(), c.pieces.end());
        Access::m_Valores(m) = Array::ofTexts(list, 0);
        // Twice on the same open report: the second run must not add the values again.
        m.VisualizarPDF(false);
        m.VisualizarPDF(false);
        for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(values(names[i]), c.expected[i]) << i;
    }
    EXPECT_EQ(addedTypes().front(), VarType::Double);
    EXPECT_EQ(addedTypes()[5], VarType::Currency) << "currency is a number, not a date";
    EXPECT_TRUE(h.dialogs.boxes.empty());
}

TEST_F(ReportOutputsTest, ShortListShowsItsMessageAndAssignsNothing) {
    m.in_Pedidos(u"|1|Verdadeiro");
    m.FicheiroPDF(folder.file("v.pdf"));
    m.in_Destino(engine::destino::PDF);
    EXPECT_TRUE(runFailed());
    ASSERT_FALSE(h.dialogs.boxes.empty());
    EXPECT_EQ(h.dialogs.boxes[0].text,
              T("O número de parametros passados é inferior ao número de parametros do mapa"));
    EXPECT_EQ(h.dialogs.boxes[0].style, msgbox::Critical);
    EXPECT_EQ(h.dialogs.boxes[0].title, Text(u"Erro!!"));
    EXPECT_TRUE(lines(u"AddCurrentValue").empty());
    EXPECT_EQ(std::count(h.events.begin(), h.events.end(),
                         T("Fim de atribuição de parametros recebidos")),
              0);
}

TEST_F(ReportOutputsTest, WindowValuesStopAtTheFirstBadRow) {
    auto window = substitutes::windows::makeParameterWindow(makeDate(2026, 7, 14));
    auto load = [&](const char16_t* array, std::int16_t row) {
        return window->array(array)->load(row);
    };
    Access::m_Indices(m) = Array::ofTexts({u"0", u"2", u"3", u"4", u"1", u"5", u"6"}, 0);
    Access::m_TiposCampo(m) = Array::ofTexts({u"", u"T", u"T", u"L", u"D", u"T", u"D"}, 0);
    load(u"txtCampo", 1)->set(u"Text", Variant(u" "));
    load(u"chkCampo", 2)->set(u"Value", Variant(std::int16_t{1}));
    const ObjectRef list(load(u"EscolhaMultipla", 3));
    for (const char16_t* entry : {u"A", u"B", u"C", u"D", u"E", u"F"}) list.call(u"AddItem", entry);
    for (int k : {2, 5}) list.put(u"Selected", k, true);
    load(u"dtCampo", 4);
    load(u"txtCampo", 5)->set(u"Text", Variant(u"doze"));
    m.JanelaParametros(ObjectRef(window));
    // Twice on the same open report: the values are cleared before they are added again.
    EXPECT_FALSE(Access::pAtribuirParametros(m));
    EXPECT_FALSE(Access::pAtribuirParametros(m));
    EXPECT_EQ(values(u"Quantia"), std::vector<Text>{u"0"});
    EXPECT_EQ(values(u"Ativo"), std::vector<Text>{u"True"});
    EXPECT_EQ(values(u"Series"), (std::vector<Text>{u"\"C\"", u"\"F\""}));
    EXPECT_EQ(values(u"Quando"), std::vector<Text>{u"#14-07-2026#"});
    EXPECT_TRUE(values(u"Desde").empty()) << "rows after the bad one keep no value";
    ASSERT_EQ(h.dialogs.boxes.size(), 2u);
    EXPECT_NE(h.dialogs.boxes[1].text.find(u"Na função pAtribuirParametros do clCristal2011"),
              Text::npos);
}

TEST_F(ReportOutputsTest, PrinterCopiesPaperAndPrinterChoice) {
    h.platform.setPrinters({{u"ESCRITORIO", u"winspool", u"LPT1:"}, {u"Outra", u"winspool", u"X"}});
    struct Case {
        bool menu;
        std::int16_t copies;
        std::int32_t paper, orientation;
        bool mayChange;
        const char16_t* printer;
        std::vector<Text> calls;  // the page, printer and print calls, in order
    };
    const Case cases[] = {
        {false, 3, 0, 0, false, u"Escritorio", {u"Vendas.rpt.PrintOut(False, 3, False)"}},
        {false, 1, 9, 0, true, u"", {u"Vendas.rpt.PrinterSetup()", u"Vendas.rpt.PrintOut(False)"}},
        {true, 3, 5, 0, false, u"", {u"Vendas.rpt.PaperSize = 5", u"Vendas.rpt.PrintOut(True)"}},
        {false,
         2,
         5,
         2,
         true,
         u"escritorio",
         {u"Vendas.rpt.PaperSize = 5", u"Vendas.rpt.PaperOrientation = 2",
          u"Vendas.rpt.SelectPrinter(\"winspool\", \"ESCRITORIO\", \"LPT1:\")",
          u"Vendas.rpt.PaperOrientation = 1", u"Vendas.rpt.PaperSize = 9",
          u"Vendas.rpt.PaperSource = 7", u"Vendas.rpt.BottomMargin = 0",
          u"Vendas.rpt.LeftMargin = 0", u"Vendas.rpt.RightMargin = 0", u"Vendas.rpt.TopMargin = 0",
          u"Vendas.rpt.PaperSize = 5", u"Vendas.rpt.PaperOrientation = 2",
          u"Vendas.rpt.PrintOut(False, 2, False)"}},
        {false, 1, 0, 0, true, u"Nenhuma", {u"Vendas.rpt.PrintOut(False)"}},
    };
    m.in_Pedidos(u"|1|Falso||" + automation::formatShortDate(makeDate(2026, 1, 1)) + u"|0|" +
                 automation::formatShortDate(makeDate(2026, 1, 1)));
    for (const auto& c : cases) {
        SetUp();
        m.NumeroDeVias(c.copies);
        m.in_FormatoDoPapel(c.paper);
        m.in_OrientacaoPagina(c.orientation);
        m.PodeMudarImpressora(c.mayChange);
        m.in_NomeDaImpressora(c.printer);
        m.VisualizarImpressora(c.menu, false);
        std::vector<Text> got;
        for (const auto& line : h.factory.log()->lines()) {
            if (line.find(u"Parameter") == Text::npos && line.find(u"-> ") == Text::npos)
                got.push_back(line);
            else if (line.find(u"PrintOut") != Text::npos)
                got.push_back(line.substr(0, line.find(u" -> ")));
        }
        EXPECT_EQ(got, c.calls) << automation::toUtf8(c.printer);
    }
    EXPECT_TRUE(h.dialogs.boxes.empty());
}

TEST_F(ReportOutputsTest, PdfAsksOnceReplacesTheFileAndStopsQuietlyWhenCancelled) {
    m.in_Pedidos(u"|1|Falso||" + automation::formatShortDate(makeDate(2026, 1, 1)) + u"|0|" +
                 automation::formatShortDate(makeDate(2026, 1, 1)));
    // Cancelled: nothing exported, no box, the name still empty for the next call.
    m.VisualizarPDF(false);
    EXPECT_TRUE(lines(u"Export").empty());
    EXPECT_TRUE(h.dialogs.boxes.empty());
    EXPECT_EQ(m.FicheiroPDF(), u"");
    EXPECT_EQ(dialogSettings(1), (std::vector<Text>{u"CancelError = True", u"Flags = 4",
                                                    u"Filter = \"Ficheiro PDF  (*.pdf)|*.pdf\"",
                                                    u"FilterIndex = 0", u"ShowSave = Empty"}));
    // Answered: exported there, and the name kept.
    const Text pdf = folder.write("Velho.pdf", "old");
    h.saveAnswers.queue(pdf);
    m.VisualizarPDF(false);
    m.VisualizarPDF(false);
    EXPECT_EQ(m.FicheiroPDF(), pdf);
    EXPECT_EQ(h.saveDialogs->events().back().dialog, 2) << "asked once";
    EXPECT_EQ(lines(u"Export").size(), 2u);
    std::ifstream written(automation::toUtf8(pdf), std::ios::binary);
    std::string head(4, '\0');
    written.read(head.data(), 4);
    EXPECT_EQ(head, "%PDF");
    EXPECT_TRUE(h.dialogs.boxes.empty());
}

TEST_F(ReportOutputsTest, EmailAndExcelOptionsPerVersion) {
    const Text pdf = folder.file("mail.pdf"), xls = folder.file("v.xls");
    const Text q = u"\"";
    const std::vector<Text> excelCommon = {u"DestinationType = 1",
                                           u"DiskFileName = " + q + xls + q,
                                           u"ExcelAreaType = 4",
                                           u"ExcelUseTabularFormat = True",
                                           u"ExcelUseWorksheetFunctions = True",
                                           u"ExcelUseConstantColumnWidth = False"};
    auto excel = [&](std::vector<Text> more) {
        std::vector<Text> out = excelCommon;
        out.insert(out.end(), more.begin(), more.end());
        out.insert(out.end(), {u"DisplayProgressDialog = False", u"Export(False)"});
        return out;
    };
    // Any version but 10 sends the mail with the options the report already holds.
    const std::vector<Text> mailAsItIs = {u"DisplayProgressDialog = True",
                                          u"EnableParameterPrompting = True", u"Export(False)"};
    struct Case {
        std::int32_t versao;
        bool excel;
        std::vector<Text> calls;  // option and export calls, in order; none when refused
    };
    const Case cases[] = {
        {0,
         false,
         {u"DiskFileName = " + q + pdf + q, u"FormatType = 31", u"PDFExportAllPages = True",
          u"DestinationType = 2", u"MailToList = \"ana@example.pt\"",
          u"MailCcList = \"rui@example.pt\"", u"MailSubject = \"Vendas de julho\"",
          u"MailMessage = \"Segue o mapa.\"", u"DisplayProgressDialog = True",
          u"EnableParameterPrompting = True", u"Export(False)"}},
        {1, false, mailAsItIs},
        {2, false, mailAsItIs},
        {0, true,
         excel({u"FormatType = 36", u"ExcelMaintainColumnAlignment = True",
                u"ExcelShowGridlines = False", u"ExcelMaintainRelativeObjectPosition = True"})},
        {1, true, excel({u"FormatType = 29"})},
        {7, true, {}},
    };
    m.in_Pedidos(u"|1|Falso||" + automation::formatShortDate(makeDate(2026, 1, 1)) + u"|0|" +
                 automation::formatShortDate(makeDate(2026, 1, 1)));
    m.emailTo(u"ana@example.pt");
    m.emailCC(u"rui@example.pt");
    m.emailSubject(u"Vendas de julho");
    m.emailMessage(u"Segue o mapa.");
    m.FicheiroPDF(pdf);
    for (const auto& c : cases) {
        SetUp();
        h.dialogs.boxes.clear();
        m.VersaoCRYSTAL(c.versao);
        if (c.excel) h.saveAnswers.queue(xls);
        c.excel ? m.VisualizarExcel(false) : m.VisualizarEmail(false);
        std::vector<Text> got;
        for (Text line : h.factory.log()->lines()) {
            line = line.substr(0, line.find(u" -> "));
            for (const Text prefix : {u"Vendas.rpt.ExportOptions.", u"Vendas.rpt."}) {
                if (line.starts_with(prefix) && line.find(u"ParameterFields") == Text::npos) {
                    got.push_back(line.substr(prefix.size()));
                    break;
                }
            }
        }
        EXPECT_EQ(got, c.calls) << c.versao << c.excel;
        EXPECT_EQ(h.dialogs.boxes.size(), c.calls.empty() ? 1u : 0u) << c.versao << c.excel;
    }
    // The Excel dialog's settings, as the PDF dialog's in the test above.
    EXPECT_EQ(dialogSettings(h.saveDialogs->events().back().dialog),
              (std::vector<Text>{u"CancelError = True", u"Flags = 4",
                                 u"Filter = \"Ficheiro Excel  (*.xls)|*.xls\"", u"FilterIndex = 0",
                                 u"ShowSave = " + q + xls + q}));
}

TEST_F(ReportOutputsTest, FailedOutputMakesTheRunFail) {
    m.in_Pedidos(u"|1|Falso||" + automation::formatShortDate(makeDate(2026, 1, 1)) + u"|0|" +
                 automation::formatShortDate(makeDate(2026, 1, 1)));
    m.in_Destino(engine::destino::PDF);
    EXPECT_TRUE(runFailed()) << "cancelled save dialog";
    m.FicheiroPDF(folder.file("ok.pdf"));
    EXPECT_FALSE(runFailed());
    m.FicheiroPDF(folder.file("no-such-folder/x.pdf"));
    EXPECT_TRUE(runFailed());
    EXPECT_NE(h.dialogs.boxes.back().text.find(u"Na função VisualizarPDF do modCrystal"),
              Text::npos);
}

class FixedFieldDefinitions : public interfaces::FieldDefinitionLibrary {
public:
    std::int32_t createFieldDefFile(ObjectRef&, Text& name, std::int32_t overwrite) override {
        name += u".ttx";
        lastOverwrite = overwrite;
        return answer;
    }
    std::int32_t answer = 1;
    std::int32_t lastOverwrite = 0;
};

TEST_F(ReportOutputsTest, CriarFicheioTTXIsTrueOnlyForOne) {
    ObjectRef rs;
    Text name;
    EXPECT_FALSE(m.CriarFicheioTTX(rs, name));
    ASSERT_EQ(h.dialogs.boxes.size(), 1u);
    EXPECT_NE(h.dialogs.boxes[0].text.find(u"Na função CriarFicheioTTX do CrystalTools"),
              Text::npos);
    FixedFieldDefinitions library;
    auto services = h.services();
    services.fieldDefinitions = &library;
    engine::CrystalReportMain withLibrary(services);
    for (std::int32_t answer : {1, 0, 2, -1}) {
        library.answer = answer;
        name = u"campos";
        EXPECT_EQ(withLibrary.CriarFicheioTTX(rs, name), answer == 1) << answer;
        EXPECT_EQ(name, u"campos.ttx");
        EXPECT_EQ(library.lastOverwrite, -1);
    }
}

}  // namespace
}  // namespace vantrel::reports::testing
