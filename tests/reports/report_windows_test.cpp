// The report windows: the prompt rows that AbrirMapa builds, the destination chooser and the
// viewer window, against windows held in memory and the stand-in runtime and viewers.
#include <gtest/gtest.h>

#include <functional>

#include "reports/engine/frm_doc_crystal.h"
#include "reports/report_test_support.h"
#include "windows/viewer_port.h"
#include "windows/window_model.h"

namespace vantrel::reports::testing {

using automation::Argument;
using automation::CallKind;
using automation::ObjectRef;
using automation::Text;
using automation::TextView;
using automation::Variant;

namespace {

using automation::T;
using Access = engine::CrystalReportMainTestAccess;
using Design = substitutes::windows::ParameterWindowDesign;
using substitutes::windows::ModelWindow;

// A platform whose waits run a step of the test instead of pausing.
class ScriptedPlatform : public TestPlatform {
public:
    void waitForMessages(int) override {
        ++waits;
        if (onWait) onWait(waits);
    }
    std::optional<interfaces::PrinterInfo> currentPrinter() override {
        return interfaces::PrinterInfo{u"Balcao", u"winspool", u"USB1:"};
    }
    std::function<void(int)> onWait;
    int waits = 0;
};

class ReportWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto services = h.services();
        services.platform = &platform;
        main = engine::CrystalReportMain::create(services);
        main->onExecutar([this](double, const Text& text) { events.push_back(text); });
        main->JanelaParametros(ObjectRef(window));
    }
    // The caller lets go of its windows at the end: a window that holds the report object
    // (Mapa, Eu) and the report object that holds the window keep each other otherwise.
    void TearDown() override {
        main->QueroSair();
        main->JanelaParametros(ObjectRef());
        main->JanelaVisualizador(ObjectRef());
    }
    // Opens a report with `body` (and a description file when `lines` is given).
    void open(const std::string& body, const std::optional<std::string>& lines = {}) {
        if (lines) folder.write("Vendas.txt", *lines);
        main->in_Mapa(folder.write("Vendas.rpt", reportFile("title: Vendas\n" + body)));
        EXPECT_FALSE(main->AbrirMapa());
    }
    std::shared_ptr<substitutes::windows::ModelControl> at(const char16_t* array, std::int16_t r) {
        return window->array(array)->find(r);
    }
    int count(const char* text) {
        return static_cast<int>(std::count(events.begin(), events.end(), T(text)));
    }

    TempFolder folder;
    ScopedDataFolder data{folder.path()};
    EngineHarness h;
    ScriptedPlatform platform;
    std::shared_ptr<engine::CrystalReportMain> main;
    std::shared_ptr<ModelWindow> window =
        substitutes::windows::makeParameterWindow(automation::makeDate(2026, 7, 14));
    std::vector<Text> events;
};

// Fields listed out of order; the prompts' first two characters order the rows.
const std::string kSixRows =
    "parameter: Preco\n  prompt: 06Preço\n  type: currency\n  multiple: yes\n  offer: 1\n"
    "parameter: Ativo\n  prompt: 01Ativo\n  type: boolean\n  offer: true\n"
    "parameter: Desde\n  prompt: 05Desde\n  type: date\n"
    "parameter: Series\n  prompt: 02Séries\n  type: text\n  multiple: yes\n  offer: A\n"
    "  offer: B\n"
    "parameter: Nome\n  prompt: 04Nome\n  type: text\n"
    "parameter: Serie\n  prompt: 03Série\n  type: text\n  offer: X\n  offer: Y\n";

TEST_F(ReportWindowsTest, RowsFollowThePromptsWithTheirKindsAndLayout) {
    open(kSixRows);
    ASSERT_TRUE(h.dialogs.boxes.empty()) << automation::toUtf8(boxTexts(h.dialogs)[0]);
    struct Row {
        const char16_t* input;
        const char16_t* kind;
        const char* caption;
        double top;
    };
    // The list is three designed heights tall and the row after it starts 400 below twice
    // that height; currency is typed in a text box even when it offers values.
    const double afterList = 800 + 2 * Design::kListHeight + 400;
    const std::vector<Row> rows = {
        {u"chkCampo", u"", "Ativo", 400},
        {u"EscolhaMultipla", u"L", "Séries", 800},
        {u"Combo", u"C", "Série", afterList},
        {u"txtCampo", u"T", "Nome", afterList + 400},
        {u"dtCampo", u"D", "Desde", afterList + 800},
        {u"txtCampo", u"T", "Preço", afterList + 1200},
    };
    for (std::int16_t r = 1; r <= 6; ++r) {
        SCOPED_TRACE(r);
        const Row& want = rows[r - 1];
        auto input = at(want.input, r);
        ASSERT_TRUE(input);
        EXPECT_EQ(Access::m_TiposCampo(*main).at(r).toText(), want.kind);
        auto caption = r == 1 ? input : at(u"lblCampo", r);
        EXPECT_EQ(caption->property(u"Caption").toText(), T(want.caption));
        EXPECT_EQ(input->number(u"Top"), want.top);
        EXPECT_EQ(input->property(u"TabIndex").toLong(), r - 1);
        EXPECT_TRUE(input->flag(u"Visible"));
    }
    EXPECT_EQ(at(u"chkCampo", 1)->property(u"Value").toLong(), 1);
    EXPECT_EQ(at(u"EscolhaMultipla", 2)->number(u"Height"), 3 * Design::kListHeight);
    EXPECT_EQ(at(u"EscolhaMultipla", 2)->items(), (std::vector<Text>{u"A", u"B"}));
    EXPECT_EQ(at(u"Combo", 3)->text(), u"X");
    EXPECT_FALSE(at(u"Lista", 4)->flag(u"Visible"));

    const double frameHeight = afterList + 1200 + 400;
    EXPECT_EQ(window->control(u"Frame")->number(u"Height"), frameHeight);
    const double buttonsTop = Design::kFrameTop + frameHeight + 240;
    EXPECT_EQ(window->control(u"FrameBotoes")->number(u"Top"), buttonsTop);
    EXPECT_EQ(window->property(u"Height").toDouble(),
              buttonsTop + Design::kButtonFrameHeight + 360);
    std::int32_t tab = 6;
    for (const char16_t* b :
         {u"botao_ecran", u"Botao_Impressora", u"botao_conf", u"Botao_Sair", u"Botao_pdf"})
        EXPECT_EQ(window->control(b)->property(u"TabIndex").toLong(), tab++);
    EXPECT_EQ(window->property(u"Caption").toText(), u"Vendas");
    EXPECT_EQ(window->property(u"Mapa").toObject().get(), main.get());
    EXPECT_EQ(window->timesShown, 1);
    EXPECT_EQ(window->lastMode, 0);
    EXPECT_EQ(count("Fim criação da Janela de Pedidos"), 1);
}

TEST_F(ReportWindowsTest, AReportWithoutParametersShowsTheButtonsUnderAnEmptyFrame) {
    open("");
    EXPECT_EQ(window->control(u"Frame")->number(u"Height"), 400);
    std::int32_t tab = 0;
    for (const char16_t* b :
         {u"botao_ecran", u"Botao_Impressora", u"botao_conf", u"Botao_Sair", u"Botao_pdf"})
        EXPECT_EQ(window->control(b)->property(u"TabIndex").toLong(), tab++);
    EXPECT_EQ(window->timesShown, 1);
}

TEST_F(ReportWindowsTest, TallListPushesTheNextRowBelowIt) {
    window->array(u"EscolhaMultipla")->item(0)->set(u"Height", Variant(600.0));
    open(
        "parameter: A\n  prompt: 01A\n  type: text\n  multiple: yes\n"
        "parameter: B\n  prompt: 02B\n  type: text\n");
    // An empty list, three times its designed height, and 50 twips below it the next row.
    EXPECT_EQ(at(u"EscolhaMultipla", 1)->items().size(), 0u);
    EXPECT_EQ(at(u"EscolhaMultipla", 1)->number(u"Height"), 1800);
    EXPECT_EQ(at(u"txtCampo", 2)->number(u"Top"), 400 + 1800 + 50);
}

TEST_F(ReportWindowsTest, DescriptionFileStartsRowsAndAShortFileLeavesTheRestEmpty) {
    open(
        "parameter: Ate\n  prompt: 01Até\n  type: date\n"
        "parameter: Nome\n  prompt: 02Nome\n  type: text\n"
        "parameter: Cod\n  prompt: 03Código\n  type: text\n",
        "ULTIMODIAMES\r\nfn{=Ana} fl[SELECT Nome FROM Clientes]\r\n");
    EXPECT_TRUE(h.dialogs.boxes.empty());
    auto date = at(u"dtCampo", 1);
    EXPECT_EQ(date->invoke(u"Day", CallKind::Get, {}).toLong(), 31);
    EXPECT_EQ(date->invoke(u"Month", CallKind::Get, {}).toLong(), 7);
    EXPECT_EQ(at(u"txtCampo", 2)->text(), u"Ana");
    EXPECT_EQ(at(u"Lista", 2)->property(u"Tag").toText(), u"SELECT Nome FROM Clientes");
    EXPECT_TRUE(at(u"Lista", 2)->flag(u"Visible"));
    EXPECT_EQ(at(u"txtCampo", 3)->text(), u"");
    EXPECT_FALSE(at(u"Lista", 3)->flag(u"Visible"));
    EXPECT_EQ(count("Fim criação da Janela de Pedidos"), 1);
}

TEST_F(ReportWindowsTest, GivenValuesFillAndLockTheRowsByTheirOwnIndex) {
    main->in_Pedidos(u"|Verdadeiro|Ana|01-07-2026");
    open(
        "parameter: Ativo\n  prompt: 01Ativo\n  type: boolean\n  offer: true\n"
        "parameter: Nome\n  prompt: 02Nome\n  type: text\n"
        "parameter: Desde\n  prompt: 03Desde\n  type: date\n");
    EXPECT_FALSE(at(u"chkCampo", 1)->flag(u"Enabled"));
    auto text = at(u"txtCampo", 2);
    EXPECT_EQ(text->text(), u"Ana");
    EXPECT_FALSE(text->flag(u"Visible"));
    EXPECT_FALSE(at(u"lblCampo", 2)->flag(u"Visible"));
    EXPECT_FALSE(window->array(u"Lista")->find(2));  // no list button in this mode
    EXPECT_FALSE(at(u"dtCampo", 3)->flag(u"Enabled"));
    EXPECT_EQ(at(u"dtCampo", 3)->number(u"Top"), 1200);  // the hidden row keeps its place
}

TEST_F(ReportWindowsTest, AFailedBuildShowsItsBoxAndTheWindowAnyway) {
    window->array(u"Combo")->load(1);
    open("parameter: Serie\n  prompt: 01Série\n  type: text\n  offer: X\n");
    EXPECT_EQ(boxTexts(h.dialogs),
              std::vector<Text>{T("Erro 360\r\n(Object already loaded)\r\nNa função "
                                  "pCriaCamposEcran do fPedidos")});
    EXPECT_EQ(count("Fim criação da Janela de Pedidos"), 0);
    EXPECT_EQ(window->timesShown, 1);
}

TEST_F(ReportWindowsTest, AStartValuePastWhatATextBoxHoldsEndsTheBuildAtItsLine) {
    // Each line reads the line above it 60 times: 64, 3,840, then 230,400 characters.
    std::string body, lines = "fn{=" + std::string(64, 'A') + "}\r\n";
    for (int r = 1; r <= 4; ++r) {
        const std::string n = "0" + std::to_string(r);
        body += "parameter: P" + n + "\n  prompt: " + n + "P\n  type: text\n";
        if (r == 1) continue;
        lines += "fn{=";
        for (int k = 0; k < 60; ++k) lines += "@0" + std::to_string(r - 1) + "X0000";
        lines += "}\r\n";
    }
    open(body, lines);
    EXPECT_EQ(boxTexts(h.dialogs),
              std::vector<Text>{T("Erro 14\r\n(O valor inicial da linha 3 do ficheiro de "
                                  "parâmetros passa de 65535 caracteres)\r\nNa função "
                                  "pCriaCamposEcran do fPedidos")});
    EXPECT_EQ(at(u"txtCampo", 2)->text().size(), 3840u);
    EXPECT_EQ(at(u"txtCampo", 3)->text(), u"");
    EXPECT_FALSE(window->array(u"txtCampo")->find(4));
    EXPECT_EQ(window->timesShown, 1);
}

TEST_F(ReportWindowsTest, MissingElementRaisesTheControlArrayError) {
    try {
        ObjectRef(window).get(u"txtCampo", std::int16_t{3});
        FAIL() << "no error";
    } catch (const automation::RuntimeError& e) {
        EXPECT_EQ(e.number(), 340);
    }
}

// ---- the destination chooser ----

struct ChooserCase {
    const char* name;
    std::int16_t destinoAtStart;
    int passesBeforeChoice;  // -1: the user closes the window instead
    std::int16_t wantDestino;
    std::int16_t wantVias;
};

class ChooserTest : public ReportWindowsTest, public ::testing::WithParamInterface<ChooserCase> {};

TEST_P(ChooserTest, WaitsOnePassAtATimeUntilAChoiceOrTheWindowGoes) {
    const ChooserCase& c = GetParam();
    window->set(u"Destino", Variant(c.destinoAtStart));
    platform.onWait = [&](int pass) {
        if (c.passesBeforeChoice < 0) {
            if (pass == 2) window->unload();
            return;
        }
        if (pass == c.passesBeforeChoice) {
            window->control(u"NumeroVias")->set(u"Text", Variant(u"4"));
            window->set(u"Destino", Variant(std::int16_t{2}));
        }
    };
    std::int16_t destino = -1, vias = -1;
    main->EscolheDestino(2, destino, vias, u"Vendas por artigo");
    EXPECT_EQ(destino, c.wantDestino);
    EXPECT_EQ(vias, c.wantVias);
    const int passes = c.destinoAtStart != -100   ? 0
                       : c.passesBeforeChoice < 0 ? 2
                                                  : c.passesBeforeChoice;
    EXPECT_EQ(platform.waits, passes);
    EXPECT_EQ(count("A espera de decisão"), passes);
    EXPECT_EQ(window->property(u"Caption").toText(), u"Vendas por artigo");
    auto frame = window->control(u"FrameDestino");
    EXPECT_EQ(frame->number(u"Left"), 120);
    EXPECT_EQ(frame->number(u"Top"), 120);
    EXPECT_EQ(window->property(u"Height").toDouble(), Design::kDestinationFrameHeight + 540);
    EXPECT_FALSE(window->loaded());
    EXPECT_TRUE(Access::m_Janela(*main).isNothing());
    EXPECT_EQ(count("Retirar Janela"), c.passesBeforeChoice < 0 ? 0 : 1);
    EXPECT_EQ(events.back(), u"Terminar");
}

INSTANTIATE_TEST_SUITE_P(Chooser, ChooserTest,
                         ::testing::Values(ChooserCase{"AlreadyChosen", 3, 0, 3, 2},
                                           ChooserCase{"ChosenOnTheThirdPass", -100, 3, 2, 4},
                                           ChooserCase{"WindowClosed", -100, -1, 0, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReportWindowsTest, WindowCodeCallsTheChooserByNameAndGetsBothChoicesBack) {
    window->set(u"Destino", Variant(std::int16_t{5}));
    Variant destino, vias;
    ObjectRef(main).call(u"EscolheDestino", std::int16_t{3}, automation::byRef(destino),
                         automation::byRef(vias), Text(u"Mapa"));
    EXPECT_EQ(destino.toInteger(), 5);
    EXPECT_EQ(vias.toInteger(), 3);
}

// ---- the viewer window ----

class ViewerTest : public ReportWindowsTest {
protected:
    void SetUp() override {
        ReportWindowsTest::SetUp();
        auto p = std::make_unique<substitutes::windows::StandInViewerPort>(h.factory);
        port = p.get();
        viewer = std::make_shared<engine::frmDocCrystal>(platform, std::move(p));
        main->JanelaVisualizador(ObjectRef(viewer));
    }
    void TearDown() override {
        ObjectRef(viewer).call(u"Unload");
        ReportWindowsTest::TearDown();
    }
    void openReport(const std::string& driver, const std::string& title = "Vendas") {
        const std::string titled = title.empty() ? "" : "title: " + title + "\n";
        main->in_Mapa(folder.write(
            "Vendas.rpt", reportFile(titled + "driver: " + driver + "\nprinter: Escritorio\n")));
        ASSERT_TRUE(Access::pStartCrystal(*main));
        ASSERT_TRUE(Access::pAbrirFicheiroMapa(*main));
        main->in_Pedidos(u"|");
    }
    substitutes::windows::StandInViewerPort* port = nullptr;
    std::shared_ptr<engine::frmDocCrystal> viewer;
};

TEST_F(ViewerTest, LoadSetsTheDisplayOptionsInOrderOnBothControlsThenHidesThem) {
    const std::vector<int> ids = {343, 341, 251, 342, 252, 258, 262, 365, 254,
                                  364, 256, 259, 261, 260, 264, 255, 340, 257};
    const std::vector<bool> values = {true,  true, false, false, true, true,  true,  true, true,
                                      false, true, true,  false, true, false, false, true, true};
    for (const char16_t* control : {u"Viewer 10", u"Viewer 8.5"}) {
        std::vector<Text> got;
        for (const auto& call : h.factory.log()->calls())
            if (call.object == control) got.push_back(call.line());
        std::vector<Text> want;
        for (std::size_t i = 0; i < ids.size(); ++i) {
            want.push_back(Text(control) + u".#" + Variant(std::int32_t{ids[i]}).toText() + u" = " +
                           (values[i] ? u"True" : u"False"));
        }
        want.push_back(Text(control) + u".Visible = False");
        EXPECT_EQ(got, want);
    }
}

struct ScreenCase {
    const char* name;
    std::int32_t versao;
    bool modal;
    bool naoPermiteImprimir;
    int shownControl;  // index in the port's controls, -1 for none
    const char16_t* caption;
    const char* title = "Vendas";
};

class ScreenTest : public ViewerTest, public ::testing::WithParamInterface<ScreenCase> {};

TEST_P(ScreenTest, ShowsTheReportOnTheControlOfItsVersion) {
    const ScreenCase& c = GetParam();
    openReport("winspool", c.title);
    main->VersaoCRYSTAL(c.versao);
    main->JanelaModal(c.modal);
    main->NaoPermiteImprimir(c.naoPermiteImprimir);
    auto parent = std::make_shared<FakeControl>();
    parent->properties[u"caption"] = Variant(u"Vendas");
    parent->properties[u"icon"] = Variant(std::int32_t{7});
    main->FormPai(ObjectRef(parent));
    EXPECT_TRUE(main->VisualizarEcran(false)) << automation::toUtf8(boxTexts(h.dialogs).at(0));
    ASSERT_EQ(port->shows.size(), 1u);
    EXPECT_EQ(port->shows[0].caption, c.caption);
    EXPECT_EQ(port->shows[0].modal, c.modal);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        auto control = port->controls[i];
        const bool shown = i == c.shownControl;
        EXPECT_EQ(control->visible(), shown);
        EXPECT_EQ(control->reportSource() == main->m_Mapa, shown);
        const bool buttons = !(shown && c.naoPermiteImprimir);
        EXPECT_EQ(control->invoke(u"EnablePrintButton", CallKind::Get, {}).toBool(), buttons);
        EXPECT_EQ(control->invoke(u"EnableExportButton", CallKind::Get, {}).toBool(), buttons);
    }
    EXPECT_EQ(port->timesClosed, c.modal ? 1 : 0);
    // Shown, both controls fill the client area.
    EXPECT_EQ(h.factory.log()->linesOf(u"Move"),
              (std::vector<Text>{u"Viewer 10.Move(0, 0, 9600, 7200)",
                                 u"Viewer 8.5.Move(0, 0, 9600, 7200)"}));
}

INSTANTIATE_TEST_SUITE_P(
    Screen, ScreenTest,
    ::testing::Values(ScreenCase{"Modal10", 0, true, false, 0, u"Vendas"},
                      ScreenCase{"Modal85NoPrinting", 1, true, true, 1, u"Vendas"},
                      ScreenCase{"Modeless10NoPrinting", 0, false, true, 0, u"Mapa:Vendas"},
                      ScreenCase{"UnknownVersion", 2, true, false, -1, u"Vendas"},
                      ScreenCase{"Modal10Untitled", 0, true, false, 0, u"Form1", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ViewerTest, AnUnloadedWindowLoadsAgainWhenNextUsed) {
    openReport("winspool");
    main->VersaoCRYSTAL(0);
    main->JanelaModal(true);
    ASSERT_TRUE(main->VisualizarEcran(false));
    // Unloaded by the modal show; asked for its caption, it is loaded again from its design.
    EXPECT_EQ(ObjectRef(viewer).get(u"Caption").toText(), u"Form1");
    auto parent = std::make_shared<FakeControl>();
    parent->properties[u"caption"] = Variant(u"Vendas");
    parent->properties[u"icon"] = Variant(std::int32_t{7});
    main->FormPai(ObjectRef(parent));
    main->JanelaModal(false);
    EXPECT_TRUE(main->VisualizarEcran(false)) << automation::toUtf8(boxTexts(h.dialogs).at(0));
    ASSERT_EQ(port->shows.size(), 2u);
    EXPECT_EQ(port->shows[1].caption, u"Mapa:Vendas");
    EXPECT_FALSE(port->shows[1].modal);
    // New controls, set up as on the first load, and the report on the new version-10 one.
    ASSERT_EQ(port->controls.size(), 4u);
    EXPECT_EQ(port->controls[2]->reportSource(), main->m_Mapa);
    EXPECT_TRUE(port->controls[2]->visible());
    EXPECT_FALSE(port->controls[3]->visible());
    EXPECT_EQ(h.factory.log()->linesOf(u"#343").size(), 4u);
}

class BusyViewer : public automation::Object {
public:
    Variant invoke(TextView member, CallKind, std::span<Argument>) override {
        if (automation::isMember(member, u"IsBusy")) return Variant(true);
        return Variant();
    }
};

TEST_F(ViewerTest, AViewerThatNeverLoadsEndsInTheErrorBox) {
    openReport("winspool");
    auto busy = std::make_shared<substitutes::windows::ModelWindow>(substitutes::windows::Design{
        {u"Visible", Variant(false)}, {u"Visu_10", Variant(automation::makeObject<BusyViewer>())}});
    main->JanelaVisualizador(ObjectRef(busy));
    EXPECT_FALSE(main->VisualizarEcran(false));
    busy->set(u"Eu", Variant(ObjectRef()));  // the window left behind lets go of the report
    EXPECT_EQ(platform.waits, 600);          // 30 s in slices of 50 ms
    ASSERT_EQ(h.dialogs.boxes.size(), 1u);
    EXPECT_TRUE(automation::endsWith(h.dialogs.boxes[0].text,
                                     T(" segundos)\r\nNa função VisualizarEcran do modCrystal")));
}

struct PrintCase {
    const char* name;
    const char* driver;
    bool podeMudar;
    bool controlPrints;
    std::vector<const char16_t*> reportCalls;
};

class PrintButtonTest : public ViewerTest, public ::testing::WithParamInterface<PrintCase> {};

TEST_P(PrintButtonTest, Version10FollowsTheReportsPrinterRules) {
    const PrintCase& c = GetParam();
    openReport(c.driver);
    main->PodeMudarImpressora(c.podeMudar);
    viewer->Eu = ObjectRef(std::static_pointer_cast<automation::Object>(main));
    h.factory.log()->clear();
    EXPECT_EQ(port->controls[0]->pressPrintButton(), c.controlPrints);
    // Each call as the log reads it, starting with the expected text.
    const auto& calls = h.factory.log()->calls();
    ASSERT_EQ(calls.size(), c.reportCalls.size());
    for (std::size_t i = 0; i < calls.size(); ++i)
        EXPECT_TRUE(automation::startsWith(calls[i].line(), c.reportCalls[i]))
            << automation::toUtf8(calls[i].line());
    EXPECT_TRUE(port->controls[1]->pressPrintButton());  // version 8.5 always prints itself
}

INSTANTIATE_TEST_SUITE_P(
    PrintButton, PrintButtonTest,
    ::testing::Values(PrintCase{"NoPrinterUsesTheCurrentOne",
                                "DISPLAY",
                                false,
                                false,
                                {u"Vendas.rpt.SelectPrinter(\"winspool\", \"Balcao\", \"USB1:\")",
                                 u"Viewer 10.#352()",
                                 u"Viewer 10.PrintButtonClicked() -> left to the window"}},
                      PrintCase{"PrinterDialogFirst",
                                "winspool",
                                true,
                                false,
                                {u"Vendas.rpt.PrinterSetup(0)", u"Vendas.rpt.PrintOut(False)",
                                 u"Viewer 10.PrintButtonClicked() -> left to the window"}},
                      PrintCase{"ControlPrintsItself",
                                "winspool",
                                false,
                                true,
                                {u"Viewer 10.PrintButtonClicked() -> printed by the control"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vantrel::reports::testing
