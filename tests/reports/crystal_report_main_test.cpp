// CrystalReportMain: properties, the run sequences, the report check and opening, the
// error box convention and the members by name.
#include <gtest/gtest.h>

#include "reports/engine/frm_doc_crystal.h"
#include "reports/engine/report_error_box.h"
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

using automation::Array;
using automation::RuntimeError;
using automation::T;
using automation::VarType;
using engine::CrystalReportMain;
using Access = engine::CrystalReportMainTestAccess;
namespace msgbox = interfaces::msgbox;

const std::string kSimpleReport = reportFile(
    "title: Vendas\n"
    "table: ARTIGO\n"
    "area: Detalhe\n"
    "  section: D\n"
    "    object: field Artigo\n"
    "parameter: P1\n"
    "  prompt: 01Artigo\n");

std::vector<Text> texts(const Array& a) {
    std::vector<Text> out;
    for (const auto& v : a.items) out.push_back(v.toText());
    return out;
}

class CrystalReportMainTest : public ::testing::Test {
protected:
    EngineHarness h;
    CrystalReportMain& m = *h.main;
    TempFolder folder;
};

TEST_F(CrystalReportMainTest, NewObjectHoldsTheDefaults) {
    EXPECT_TRUE(m.m_Mapa.isNothing());
    EXPECT_EQ(m.in_Mapa(), u"");
    EXPECT_EQ(m.NomeDoMapa(), u"");
    EXPECT_EQ(m.VersaoCRYSTAL(), 0);
    EXPECT_EQ(m.in_Destino(), 0);
    EXPECT_EQ(m.NumeroDeVias(), 0);
    EXPECT_FALSE(m.PodeMudarImpressora());
    EXPECT_FALSE(m.NaoPermiteImprimir());
    EXPECT_FALSE(m.JanelaModal());
    EXPECT_TRUE(m.JanelaParametros().isNothing());
    EXPECT_TRUE(m.in_bd().isNothing());
    EXPECT_EQ(m.in_Pedidos(), u"");
    EXPECT_EQ(texts(Access::m_ParametrosRecordset(m)), std::vector<Text>{u""});
    EXPECT_TRUE(Access::m_Aplicacao(m).isNothing());
}

TEST_F(CrystalReportMainTest, NumeroDeViasStoresOneForZero) {
    struct Case {
        std::int16_t assigned, read;
    };
    for (auto c : {Case{0, 1}, Case{3, 3}, Case{1, 1}, Case{-2, -2}, Case{32767, 32767}}) {
        m.NumeroDeVias(c.assigned);
        EXPECT_EQ(m.NumeroDeVias(), c.read) << c.assigned;
    }
}

TEST_F(CrystalReportMainTest, InPedidosSplitsAtBarsUnlessBlank) {
    m.in_Pedidos(u"|10|X");
    EXPECT_EQ(texts(Access::m_Valores(m)), (std::vector<Text>{u"", u"10", u"X"}));
    m.in_Pedidos(u"   ");
    EXPECT_EQ(m.in_Pedidos(), u"   ");
    EXPECT_EQ(texts(Access::m_Valores(m)), (std::vector<Text>{u"", u"10", u"X"}));
    m.in_Pedidos(u"");
    EXPECT_EQ(Access::m_Valores(m).ubound(), 2);
    m.in_Pedidos(u"a||b|");
    EXPECT_EQ(texts(Access::m_Valores(m)), (std::vector<Text>{u"a", u"", u"b", u""}));
}

TEST_F(CrystalReportMainTest, InPedidosTakesThousandsOfValues) {
    Text list;
    for (int i = 1; i <= 40000; ++i) list += u"|" + automation::fromUtf8(std::to_string(i));
    m.in_Pedidos(list);
    const Array& values = Access::m_Valores(m);
    ASSERT_EQ(values.ubound(), 40000);
    EXPECT_EQ(values.at(1).toText(), u"1");
    EXPECT_EQ(values.at(40000).toText(), u"40000");
}

TEST_F(CrystalReportMainTest, AddParametrosRecordsetAccumulates) {
    EXPECT_FALSE(m.Add_ParametrosRecordset(u"A"));
    EXPECT_FALSE(m.Add_ParametrosRecordset(u"B"));
    EXPECT_EQ(texts(Access::m_ParametrosRecordset(m)), (std::vector<Text>{u"", u"A", u"B"}));
    EXPECT_EQ(h.events,
              (std::vector<Text>{u"Adicionar Parametro ->A", u"Adicionar Parametro ->B"}));
}

TEST_F(CrystalReportMainTest, AddParametrosRecordsetOverflowReachesTheCaller) {
    for (int i = 1; i <= 32767; ++i) m.Add_ParametrosRecordset(u"v");
    EXPECT_EQ(Access::m_ParametrosRecordset(m).ubound(), 32767);
    try {
        m.Add_ParametrosRecordset(u"one too many");
        FAIL() << "no overflow";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), automation::errc::Overflow);
    }
    EXPECT_EQ(Access::m_ParametrosRecordset(m).ubound(), 32767);
    EXPECT_TRUE(h.dialogs.boxes.empty());
}

TEST_F(CrystalReportMainTest, DestinationZeroOpensBindsAndStops) {
    m.in_Mapa(folder.write("Vendas.rpt", kSimpleReport));
    m.NomeDoMapa(u"Vendas");
    Array values = Array::ofTexts({u"", u"A1"});
    EXPECT_FALSE(m.ExecutaMapa(values, false));
    EXPECT_EQ(h.events, (std::vector<Text>{
                            T("Verificar existência do mapa ->Vendas"),
                            u"Mapa Existe",
                            T("Instancia runtime crystal reports versão 10"),
                            u"Abrir Mapa",
                            u"Ficheiro de parametros ->",
                            T("Inicio de atribuição da base de dados ao mapa"),
                            T("Inicio de ligação das tabelas da base de dados as tabelas do mapa"),
                            T("Fim de ligação das tabelas da base de dados as tabelas do mapa"),
                            u"Atribuir a base de dados aos subreports",
                            u"Fim de atribuir a base de dados aos subreports",
                        }));
    EXPECT_TRUE(Access::m_Aplicacao(m).isNothing());
    EXPECT_FALSE(m.m_Mapa.isNothing());  // the report outlives the runtime's release
    ASSERT_EQ(h.factory.applications().size(), 1u);
    EXPECT_EQ(h.factory.applications()[0]->version(),
              substitutes::reports::RuntimeVersion::Crystal10);
    EXPECT_EQ(texts(Access::m_Valores(m)), (std::vector<Text>{u"", u"A1"}));
    // Only the failed connectivity test of ARTIGO (no database here) was shown.
    ASSERT_EQ(h.dialogs.boxes.size(), 1u);
    EXPECT_EQ(h.dialogs.boxes[0].text,
              T("Erro na ligação a base de dados\r\nServidor:\r\nTabela:ARTIGO"));
}

TEST_F(CrystalReportMainTest, EventsCarryThePlatformClock) {
    h.platform.setToday(2026, 2, 3, 4, 5, 6);
    m.NomeDoMapa(u"X");
    Array values = Array::ofTexts({u""});
    m.ExecutaMapa(values, false);
    ASSERT_FALSE(h.eventTimes.empty());
    for (double t : h.eventTimes) EXPECT_EQ(t, automation::makeDate(2026, 2, 3, 4, 5, 6));
}

// Two engines in one thread: calls by name write and read numbers by each one's platform.
TEST(EngineLocale, EachObjectConvertsByItsOwnPlatformsLocale) {
    EngineHarness pt;
    EngineHarness us;
    us.platform.setLocale(automation::Locale::unitedStates());
    for (EngineHarness* h : {&pt, &us}) {
        ObjectRef m(h->main);
        m.put(u"in_Pedidos", 2.5);
        m.put(u"in_Destino", u"2,5");
    }
    EXPECT_EQ(pt.main->in_Pedidos(), u"2,5");
    EXPECT_EQ(us.main->in_Pedidos(), u"2.5");
    EXPECT_EQ(pt.main->in_Destino(), 2);                              // 2.5 to the even neighbour
    EXPECT_EQ(us.main->in_Destino(), 25);                             // "," groups thousands
    EXPECT_EQ(automation::Locale::current().decimalSeparator, u',');  // no scope left open
}

TEST_F(CrystalReportMainTest, MissingReportIsReportedAndNeverStartsTheRuntime) {
    m.in_Mapa(folder.file("Nada.rpt"));
    m.NomeDoMapa(u"Vendas mensais");
    Array values = Array::ofTexts({u""});
    EXPECT_TRUE(m.ExecutaMapa(values, false));
    ASSERT_EQ(h.dialogs.boxes.size(), 1u);
    const ShownBox& box = h.dialogs.boxes[0];
    EXPECT_EQ(box.text, T("A configuração indicada não existe!\r\nVendas mensais"));
    EXPECT_EQ(box.style, msgbox::Critical | msgbox::OkOnly);
    ASSERT_TRUE(box.title.has_value());
    EXPECT_EQ(*box.title, u"");
    EXPECT_EQ(h.events, (std::vector<Text>{T("Verificar existência do mapa ->Vendas mensais"),
                                           T("Mapa não existe")}));
    EXPECT_TRUE(h.factory.applications().empty());
}

TEST_F(CrystalReportMainTest, PathsThatFindNoFileShowTheMissingReportBox) {
    folder.write("sub/a.rpt", kSimpleReport);
    const std::vector<Text> paths = {
        u"",                              // empty
        folder.file("sub"),               // a folder
        folder.file("sub") + u"/",        // a folder, written as one
        folder.file("sub/*.xyz"),         // a wild card matching nothing
        folder.file("nothing/here.rpt"),  // a missing folder
    };
    for (const auto& path : paths) {
        EngineHarness run;
        run.main->in_Mapa(path);
        run.main->NomeDoMapa(u"N");
        Array values = Array::ofTexts({u""});
        EXPECT_TRUE(run.main->ExecutaMapa(values, false)) << automation::toUtf8(path);
        ASSERT_EQ(run.dialogs.boxes.size(), 1u) << automation::toUtf8(path);
        EXPECT_EQ(run.dialogs.boxes[0].text, T("A configuração indicada não existe!\r\nN"));
        EXPECT_TRUE(run.factory.applications().empty());
    }
}

TEST_F(CrystalReportMainTest, WildCardMatchingSeveralFilesFailsAtOpening) {
    folder.write("a1.rpt", kSimpleReport);
    folder.write("a2.rpt", kSimpleReport);
    m.in_Mapa(folder.file("a*.rpt"));
    Array values = Array::ofTexts({u""});
    EXPECT_TRUE(m.ExecutaMapa(values, false));
    ASSERT_EQ(h.dialogs.boxes.size(), 1u);
    EXPECT_EQ(h.dialogs.boxes[0].style, msgbox::OkOnly);
    EXPECT_FALSE(h.dialogs.boxes[0].title.has_value());
    EXPECT_TRUE(automation::startsWith(h.dialogs.boxes[0].text, u"Erro 53\r\n("));
    EXPECT_TRUE(automation::endsWith(h.dialogs.boxes[0].text,
                                     T("\r\nNa função pAbrirFicheiroMapa do modCrystal")));
    EXPECT_TRUE(Access::m_Aplicacao(m).isNothing());  // stopped after the failed opening
}

// An application whose OpenReport accepts any path, to reach the rule on short paths.
class AnyPathApplication : public automation::Object {
public:
    Variant invoke(TextView member, CallKind, std::span<Argument>) override {
        if (!automation::isMember(member, u"OpenReport")) automation::unknownMember(member);
        return Variant(automation::makeObject<AnyPathApplication>());
    }
};

class FixedFactory : public automation::ObjectFactory {
public:
    explicit FixedFactory(std::function<ObjectRef(TextView)> make) : make_(std::move(make)) {}
    ObjectRef create(TextView progId) override {
        created.emplace_back(progId);
        return make_(progId);
    }
    std::vector<Text> created;

private:
    std::function<ObjectRef(TextView)> make_;
};

TEST_F(CrystalReportMainTest, PathShorterThanThreeCharactersFailsAtOpening) {
    FixedFactory factory([](TextView) { return automation::makeObject<AnyPathApplication>(); });
    interfaces::Services services = h.services();
    services.factory = &factory;
    CrystalReportMain main(services);
    main.in_Mapa(u"ab");
    ASSERT_TRUE(Access::pStartCrystal(main));
    EXPECT_FALSE(Access::pAbrirFicheiroMapa(main));
    ASSERT_EQ(h.dialogs.boxes.size(), 1u);
    EXPECT_EQ(h.dialogs.boxes[0].text, T("Erro 5\r\n(Invalid procedure call or argument)\r\nNa "
                                         "função pAbrirFicheiroMapa do modCrystal"));
}

TEST_F(CrystalReportMainTest, MissingRuntimeShowsTheStartBox) {
    FixedFactory factory(
        [](TextView) -> ObjectRef { throw RuntimeError(automation::errc::CannotCreateObject); });
    interfaces::Services services = h.services();
    services.factory = &factory;
    CrystalReportMain main(services);
    main.in_Mapa(folder.write("Vendas.rpt", kSimpleReport));
    Array values = Array::ofTexts({u""});
    EXPECT_TRUE(main.ExecutaMapa(values, false));
    EXPECT_EQ(factory.created, std::vector<Text>{u"CrystalRuntime.Application.10"});
    ASSERT_EQ(h.dialogs.boxes.size(), 1u);
    EXPECT_EQ(h.dialogs.boxes[0].text, automation::fromUtf8("Erro 429\r\n(") +
                                           automation::standardDescription(429) +
                                           T(")\r\nNa função pStartCrystal do modCrystal"));
}

TEST_F(CrystalReportMainTest, RecordsetRunGoesOnWithoutRuntimeAndFailsStepByStep) {
    FixedFactory factory(
        [](TextView) -> ObjectRef { throw RuntimeError(automation::errc::CannotCreateObject); });
    interfaces::Services services = h.services();
    services.factory = &factory;
    CrystalReportMain main(services);
    main.in_Mapa(folder.write("Vendas.rpt", kSimpleReport));
    ObjectRef rs;
    EXPECT_FALSE(main.ExecutaMapa_Recordset(rs, false));
    std::vector<Text> lastLines;
    for (const auto& box : h.dialogs.boxes)
        lastLines.push_back(box.text.substr(box.text.rfind(u'\n') + 1));
    EXPECT_EQ(lastLines, (std::vector<Text>{T("Na função pStartCrystal do modCrystal"),
                                            T("Na função pAbrirFicheiroMapa do modCrystal"),
                                            T("Na função pIndicarBDRecordset do modCrystal")}));
}

TEST_F(CrystalReportMainTest, BadReportFileNamesFileAndLine) {
    m.in_Mapa(folder.write("Mau.rpt", reportFile("title: X\ntabel: ARTIGO\n")));
    Array values = Array::ofTexts({u""});
    EXPECT_TRUE(m.ExecutaMapa(values, false));
    ASSERT_EQ(h.dialogs.boxes.size(), 1u);
    EXPECT_EQ(h.dialogs.boxes[0].text,
              T("Erro 1004\r\n(Mau.rpt, line 3: unknown key \"tabel\")\r\nNa função "
                "pAbrirFicheiroMapa do modCrystal"));
    EXPECT_TRUE(Access::m_Aplicacao(m).isNothing());
}

TEST_F(CrystalReportMainTest, ExecutaMapaCopiesFromIndexOne) {
    m.in_Mapa(folder.write("Vendas.rpt", reportFile("title: X\n")));
    Array zeroBased = Array::ofTexts({u"lost", u"a", u"b"}, 0);
    EXPECT_FALSE(m.ExecutaMapa(zeroBased, false));
    EXPECT_EQ(texts(Access::m_Valores(m)), (std::vector<Text>{u"", u"a", u"b"}));
    Array oneBased = Array::ofTexts({u"x", u"y"}, 1);
    EXPECT_FALSE(m.ExecutaMapa(oneBased, false));
    EXPECT_EQ(texts(Access::m_Valores(m)), (std::vector<Text>{u"", u"x", u"y"}));
    EXPECT_TRUE(h.dialogs.boxes.empty());
}

TEST_F(CrystalReportMainTest, ExecutaMapaPastTheSixteenBitCounterShowsItsBox) {
    m.in_Mapa(folder.write("Vendas.rpt", reportFile("title: X\n")));
    Array many(VarType::String, 0, 40000);
    EXPECT_TRUE(m.ExecutaMapa(many, false));
    ASSERT_EQ(h.dialogs.boxes.size(), 1u);
    EXPECT_EQ(h.dialogs.boxes[0].text,
              T("Erro 6\r\n(Overflow)\r\nNa função ExecutaMapa do modCrystal"));
}

TEST_F(CrystalReportMainTest, RecordsetRunBindsTheFirstTableAndCopiesTheAddedValues) {
    m.in_Mapa(folder.write("Vendas.rpt", kSimpleReport));
    m.Add_ParametrosRecordset(u"A");
    m.Add_ParametrosRecordset(u"B");
    ObjectRef rs = automation::makeObject<FakeControl>();
    const ObjectRef given = rs;
    EXPECT_FALSE(m.ExecutaMapa_Recordset(rs, false));
    EXPECT_EQ(rs, given);
    EXPECT_EQ(texts(Access::m_Valores(m)), (std::vector<Text>{u"", u"A", u"B"}));
    auto report = h.factory.lastReport();
    ASSERT_TRUE(report);
    auto data = report->tables()[0]->privateData();
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(data->first, 3);
    EXPECT_EQ(data->second.toObject(), given);
    EXPECT_FALSE(Access::m_Aplicacao(m).isNothing());  // not stopped
    EXPECT_EQ(h.events.back(), u"Copiar Paramentros para variaveis internas");
}

TEST_F(CrystalReportMainTest, DestinationCodesChooseTheOutput) {
    struct Case {
        std::int32_t destino;
        std::vector<std::string> outputEvents;  // around the parameter step's two texts
    };
    // The screen raises two texts before its parameter step, the others one.
    const std::vector<Case> cases = {
        {1,
         {"Inicio da visualização no ecran", "Visualizar no ecran",
          "instanciar form de visualização", "fim de preparação do ecran"}},
        {2, {"Inicio da visualização na impressora", "Fim da visualização na impressora"}},
        {3, {"Inicio da Visualização PDF", "FIm da Visualização PDF"}},
        {4, {"Inicio da visualização por email", "Fim da visualização por email"}},
        {5, {"Inicio da visualização por Excel", "Fim da visualização por Excel"}},
        {6, {}},
        {-1, {}},
    };
    ScopedDataFolder data(folder.path());
    const Text path = folder.write("Vendas.rpt", reportFile("title: X\n"));
    for (const auto& c : cases) {
        EngineHarness run;
        run.main->in_Mapa(path);
        run.main->in_Destino(c.destino);
        run.main->FicheiroPDF(folder.file("x.pdf"));
        run.main->emailTo(u"ana@example.pt");
        run.saveAnswers.queue(folder.file("x.xls"));
        run.main->JanelaModal(true);
        run.main->JanelaVisualizador(ObjectRef(std::make_shared<engine::frmDocCrystal>(
            run.platform, std::make_unique<substitutes::windows::StandInViewerPort>(run.factory))));
        Array values = Array::ofTexts({u""});
        EXPECT_FALSE(run.main->ExecutaMapa(values, false)) << c.destino;
        std::vector<Text> expected = {u"Atribuir a base de dados aos subreports",
                                      u"Fim de atribuir a base de dados aos subreports"};
        for (const auto& e : c.outputEvents) {
            expected.push_back(automation::fromUtf8(e));
            if (expected.size() != (c.destino == 1 ? 4u : 3u)) continue;
            expected.push_back(T("Inicio de atribuição de parametros recebidos"));
            expected.push_back(T("Fim de atribuição de parametros recebidos"));
        }
        std::vector<Text> tail(run.events.end() - static_cast<std::ptrdiff_t>(expected.size()),
                               run.events.end());
        EXPECT_EQ(tail, expected) << c.destino;
        EXPECT_TRUE(run.dialogs.boxes.empty()) << c.destino;
    }
}

TEST_F(CrystalReportMainTest, DescriptionFileBesideTheReport) {
    const Text report = folder.write("Mapa.rpt", reportFile("title: X\n"));
    m.in_Mapa(report);
    ASSERT_TRUE(Access::pStartCrystal(m));
    EXPECT_TRUE(Access::pAbrirFicheiroMapa(m));
    EXPECT_EQ(Access::m_FicheiroParametros(m), u"");
    EXPECT_EQ(h.events.back(), u"Ficheiro de parametros ->");

    const Text description = folder.write("Mapa.txt", "PRIMEIRODIAMES\r\n");
    EXPECT_TRUE(Access::pAbrirFicheiroMapa(m));
    EXPECT_EQ(Access::m_FicheiroParametros(m), description);
    EXPECT_EQ(h.events.back(), u"Ficheiro de parametros ->" + description);
}

TEST_F(CrystalReportMainTest, EveryVersionButZeroStartsTheOlderRuntime) {
    for (std::int32_t version : {1, 2, -1}) {
        EngineHarness run;
        run.main->VersaoCRYSTAL(version);
        EXPECT_TRUE(Access::pStartCrystal(*run.main));
        ASSERT_EQ(run.factory.applications().size(), 1u);
        EXPECT_EQ(run.factory.applications()[0]->version(),
                  substitutes::reports::RuntimeVersion::Crystal85);
        EXPECT_EQ(run.events, std::vector<Text>{T("Instancia runtime crystal reports versão 8.5")});
    }
}

TEST_F(CrystalReportMainTest, AbrirMapaHandsItselfToTheWindow) {
    auto window = substitutes::windows::makeParameterWindow(0);
    m.in_Mapa(folder.write("Vendas.rpt", reportFile("title: X\n")));
    m.JanelaParametros(ObjectRef(window));
    EXPECT_FALSE(m.AbrirMapa());
    EXPECT_EQ(h.events.front(), u"Inicio Abre Mapa");
    EXPECT_EQ(window->property(u"Mapa").toObject().get(), static_cast<automation::Object*>(&m));
    EXPECT_EQ(Access::m_Janela(m), ObjectRef(window));
    EXPECT_FALSE(Access::m_Aplicacao(m).isNothing());  // the report stays open for the window
    m.QueroSair();
    EXPECT_TRUE(Access::m_Janela(m).isNothing());
    window->set(u"Mapa", Variant());  // the window's reference back to the report
}

TEST_F(CrystalReportMainTest, AbrirMapaWithoutReportTouchesNoWindow) {
    auto window = std::make_shared<FakeWindow>();
    m.in_Mapa(folder.file("Nada.rpt"));
    m.JanelaParametros(ObjectRef(window));
    EXPECT_FALSE(m.AbrirMapa());
    EXPECT_TRUE(window->objects.empty());
    EXPECT_EQ(h.dialogs.boxes.size(), 1u);
}

TEST_F(CrystalReportMainTest, AbrirMapaWithoutWindowRaisesToTheCaller) {
    m.in_Mapa(folder.write("Vendas.rpt", reportFile("title: X\n")));
    try {
        m.AbrirMapa();
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), automation::errc::ObjectVariableNotSet);
    }
}

TEST(ReportErrorBox, LastLinesNameProcedureAndModule) {
    using namespace engine::where;
    struct Case {
        engine::ProcedurePlace place;
        const char* lastLine;
    };
    const std::vector<Case> cases = {
        {ExecutaMapa, "Na função ExecutaMapa do modCrystal"},
        {ExecutaMapa_Recordset, "Na função ExecutaMapa_Recordset do modCrystal"},
        {pExisteMapa, "Na função pExisteMapa do clCristal2010"},
        {pStartCrystal, "Na função pStartCrystal do modCrystal"},
        {pStopCrystal, "Na função pStopCrystal do modCrystal"},
        {pAbrirFicheiroMapa, "Na função pAbrirFicheiroMapa do modCrystal"},
        {pLigaMapaBD, "Na função pLigaMapaBD do modCrystal"},
        {pIndicarBD, "Na função pIndicarBD do modCrystal"},
        {pIndicarBDRecordset, "Na função pIndicarBDRecordset do modCrystal"},
        {VisualizarImpressora, "Na função Impressora do modCrystal"},
        {VisualizarPDF, "Na função VisualizarPDF do modCrystal"},
        {VisualizarEmail, "Na função VisualizarEmail do modCrystal"},
        {VisualizarExcel, "Na função VisualizarExcel do modCrystal"},
        {CriarFicheioTTX, "Na função CriarFicheioTTX do CrystalTools"},
        {VisualizarEcran, "Na função VisualizarEcran do modCrystal"},
    };
    const RuntimeError error(-2147206461, u"CrystalRuntime", u"Falhou");
    for (const auto& c : cases) {
        EXPECT_EQ(engine::reportErrorText(error, c.place),
                  u"Erro -2147206461\r\n(Falhou)\r\n" + T(c.lastLine));
    }
    RecordingDialogs dialogs;
    engine::showReportError(dialogs, error, ExecutaMapa);
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].style, 0);
    EXPECT_FALSE(dialogs.boxes[0].title.has_value());
}

TEST_F(CrystalReportMainTest, MembersByName) {
    ObjectRef self(std::static_pointer_cast<automation::Object>(h.main));
    self.put(u"NUMERODEVIAS", std::int16_t{0});
    EXPECT_EQ(self.get(u"NumeroDeVias").toInteger(), 1);
    self.put(u"in_mapa", u"C:\\Mapas\\Vendas.rpt");
    EXPECT_EQ(m.in_Mapa(), u"C:\\Mapas\\Vendas.rpt");
    self.put(u"in_Pedidos", u"|1|2");
    EXPECT_EQ(Access::m_Valores(m).ubound(), 2);
    auto window = std::make_shared<FakeWindow>();
    self.putRef(u"JanelaParametros", ObjectRef(window));
    EXPECT_EQ(m.JanelaParametros(), ObjectRef(window));
    self.put(u"HandleFormPai", std::int32_t{77});
    EXPECT_THROW(self.get(u"HandleFormPai"), RuntimeError);
    EXPECT_EQ(self.call(u"MostraLista", u"SELECT 1").toText(), u"");
    EXPECT_THROW(self.call(u"NoSuchMember"), RuntimeError);

    m.in_Mapa(folder.file("Nada.rpt"));
    Variant values(Array::ofTexts({u""}));
    EXPECT_TRUE(self.call(u"ExecutaMapa", automation::byRef(values), false).toBool());
    EXPECT_EQ(self.call(u"Add_ParametrosRecordset", u"A").type(), VarType::Boolean);
}

}  // namespace
}  // namespace vantrel::reports::testing
