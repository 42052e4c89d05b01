// The API toggles, the operation event and the events without rules.
#include <gtest/gtest.h>

#include <functional>

#include "automation/runtime_error.h"
#include "solution/solution_world.h"

using namespace vantrel::testing;
using vantrel::automation::ObjectRef;
using vantrel::automation::RuntimeError;
using vantrel::automation::T;
using vantrel::automation::Text;
using vantrel::automation::Variant;
using vantrel::solution::Solucao;
namespace msgbox = vantrel::interfaces::msgbox;

namespace {

struct EventsTest : ::testing::Test {
    SolutionWorld world;
    std::unique_ptr<Solucao> s;
    ObjectRef noApi;

    void SetUp() override {
        world.configureCompany(u"EMP01");
        s = world.make();
    }
    void enter() {
        Variant c{Text(u"EMP01")}, u{Text(u"ana")}, h{std::int32_t{1}}, e;
        s->App_OnEntrar(c, u, h, e);
        ASSERT_FALSE(e.toBool());
    }
    void operation(Variant code) { s->App_OnOperacao(noApi, code); }
    std::vector<std::string>& boxes() {
        summary_ = world.fake.dialogs.summary();
        return summary_;
    }
    std::vector<std::string> summary_;
};

TEST_F(EventsTest, Operation2010AnsweredYesClosesTheOpenConnection) {
    enter();
    world.fake.dialogs.answers = {msgbox::AnswerYes};
    operation(Variant(std::int32_t{2010}));
    EXPECT_EQ(boxes(),
              (std::vector<std::string>{
                  "Ligação SageNext API|36|A API Sage100C encontra-se ligada. Pretende desligar?",
                  "Ligação Sage100C API|64|A API Sage100C encontra-se agora, desligada."}));
    EXPECT_FALSE(s->fields().mApiLigada);
    EXPECT_TRUE(s->fields().mApiNext.isNothing());
    EXPECT_EQ(world.disconnects, 1);
    // Leaving afterwards does not disconnect again.
    Variant e;
    s->App_OnSair(e);
    EXPECT_EQ(world.disconnects, 1);
}

TEST_F(EventsTest, Operation2010AnsweredNoChangesNothing) {
    enter();
    world.fake.dialogs.answers = {msgbox::AnswerNo};
    operation(Variant(Text(u"2010")));
    EXPECT_EQ(boxes().size(), 1u);
    EXPECT_TRUE(s->fields().mApiLigada);
    EXPECT_EQ(world.disconnects, 0);
}

TEST_F(EventsTest, Operation2010OpensAClosedConnection) {
    enter();
    world.fake.dialogs.answers = {msgbox::AnswerYes, msgbox::AnswerOk, msgbox::AnswerYes};
    operation(Variant(std::int32_t{2010}));
    operation(Variant(std::int32_t{2010}));
    ASSERT_EQ(boxes().size(), 4u);
    EXPECT_EQ(boxes()[2],
              "Ligação SageNext API|36|A API Sage100C encontra-se desligada. Pretende ligar?");
    EXPECT_EQ(boxes()[3], "Ligação Sage100C API|64|A API Sage100C encontra-se agora, ligada.");
    EXPECT_TRUE(s->fields().mApiLigada);
    EXPECT_EQ(world.connectPaths.back(), world.settingsPath(u"EMP01"));
}

TEST_F(EventsTest, Operation2010WithRefusedLoginShowsOnlyTheLoginError) {
    enter();
    world.fake.dialogs.answers = {msgbox::AnswerYes, msgbox::AnswerOk, msgbox::AnswerYes};
    operation(Variant(std::int32_t{2010}));
    world.connectAnswer = false;
    operation(Variant(std::int32_t{2010}));
    ASSERT_EQ(boxes().size(), 4u);
    EXPECT_EQ(boxes()[3],
              "Ligação ao Servidor/Sage Next|48|Erro. Não foi possivel ligar ao Sage Next");
    EXPECT_FALSE(s->fields().mApiLigada);
}

TEST_F(EventsTest, Operation2010BeforeEntryConnectsWithAnEmptyPath) {
    world.fake.dialogs.answers = {msgbox::AnswerYes};
    operation(Variant(std::int32_t{2010}));
    EXPECT_EQ(world.connectPaths, std::vector<Text>{Text()});
}

TEST_F(EventsTest, OtherOperationCodesOnlyTrace) {
    enter();
    for (std::int32_t code : {0, 2011, -1}) operation(Variant(code));
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(s->fields().mApiLigada);
}

TEST_F(EventsTest, OperationThatIsNotANumberIsReported) {
    operation(Variant(Text(u"abc")));
    EXPECT_EQ(boxes(),
              std::vector<std::string>{"App_OnOperacao|48|Erro " +
                                       utf8(vantrel::automation::standardDescription(13))});
}

TEST_F(EventsTest, ToggleErrorIsReportedUnderTheOperationTitle) {
    enter();
    world.disconnectThrows = true;
    world.fake.dialogs.answers = {msgbox::AnswerYes};
    operation(Variant(std::int32_t{2010}));
    EXPECT_EQ(boxes().back(), "App_OnOperacao|48|Erro Sessão perdida");
}

TEST_F(EventsTest, SageNextToggleUsesItsOwnTexts) {
    enter();
    world.fake.dialogs.answers = {msgbox::AnswerYes};
    s->pNextApiConnectDisconnect();
    EXPECT_EQ(boxes(),
              (std::vector<std::string>{
                  "Ligação SageNext API|36|A API SageNext encontra-se ligada. Pretende desligar?",
                  "Ligação SageNext API|64|A API SageNext encontra-se agora, desligada."}));
}

TEST_F(EventsTest, TogglesRaiseTheirErrors) {
    enter();
    world.disconnectThrows = true;
    for (auto toggle :
         {&Solucao::pNextApiConnectDisconnect, &Solucao::Esp_ConnectDisconnectApiNext}) {
        world.fake.dialogs.answers = {msgbox::AnswerYes};
        try {
            ((*s).*toggle)();
            ADD_FAILURE() << "the toggle must raise";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.description(), T("Sessão perdida"));
        }
    }
}

// Every event without rules: it shows nothing and leaves the host's values alone.
TEST_F(EventsTest, EventsWithoutRulesLeaveTheirArgumentsUntouched) {
    ObjectRef ctx(std::make_shared<ScriptedObject>("Contexto", world.log));
    ObjectRef campo(std::make_shared<ScriptedObject>("Campo", world.log));
    Variant cancel(true), code(std::int32_t{77}), text(Text(u"x")), other(Text(u"y"));
    Solucao& x = *s;
    std::vector<std::function<void()>> events = {
        [&] { x.App_OnAntesEntrar(text, other, code, cancel); },
        [&] { x.App_OnAntesSair(cancel); },
        [&] { x.Compras_OnAbrir(ctx); },
        [&] { x.Compras_OnAntesAbrir(ctx, cancel); },
        [&] { x.Compras_OnAntesAnular(ctx, cancel); },
        [&] { x.Compras_OnAntesFechar(ctx, cancel); },
        [&] { x.Compras_OnAntesGravar(ctx, cancel); },
        [&] { x.Compras_OnAnular(ctx); },
        [&] { x.Compras_OnFechar(ctx); },
        [&] { x.Compras_OnGravar(ctx); },
        [&] { x.Compras_OnLer(ctx); },
        [&] { x.Compras_OnLimpar(ctx); },
        [&] { x.Compras_OnOperacao(ctx, code); },
        [&] { x.Compras_OnValidarLinha(ctx, cancel); },
        [&] { x.Compras_OnCampoValidar(ctx, campo, cancel); },
        [&] { x.Vendas_OnAbrir(ctx); },
        [&] { x.Vendas_OnAntesAbrir(ctx, cancel); },
        [&] { x.Vendas_OnAntesAnular(ctx, cancel); },
        [&] { x.Vendas_OnAntesFechar(ctx, cancel); },
        [&] { x.Vendas_OnAntesGravar(ctx, cancel); },
        [&] { x.Vendas_OnAnular(ctx); },
        [&] { x.Vendas_OnFechar(ctx); },
        [&] { x.Vendas_OnLer(ctx); },
        [&] { x.Vendas_OnLimpar(ctx); },
        [&] { x.Vendas_OnOperacao(ctx, code); },
        [&] { x.Vendas_OnOperacaoEx(ctx, code, other); },
        [&] { x.Vendas_OnValidarLinha(ctx, cancel); },
        [&] { x.Vendas_OnCampoValidar(ctx, text, other, cancel); },
        [&] { x.Vendas_OnCampoValidarEx(ctx, text, other, code, cancel); },
        [&] { x.Stocks_OnAbrir(ctx); },
        [&] { x.Stocks_OnAntesAbrir(ctx, cancel); },
        [&] { x.Stocks_OnAntesAnular(ctx, cancel); },
        [&] { x.Stocks_OnAntesFechar(ctx, cancel); },
        [&] { x.Stocks_OnAntesGravar(ctx, cancel); },
        [&] { x.Stocks_OnAnular(ctx); },
        [&] { x.Stocks_OnFechar(ctx); },
        [&] { x.Stocks_OnGravar(ctx); },
        [&] { x.Stocks_OnLer(ctx); },
        [&] { x.Stocks_OnLimpar(ctx); },
        [&] { x.Stocks_OnOperacao(ctx, code); },
        [&] { x.Stocks_OnValidarLinha(ctx, cancel); },
        [&] { x.Stocks_OnCampoValidar(ctx, campo, cancel); },
    };
    for (std::size_t i = 0; i < events.size(); ++i) {
        events[i]();
        EXPECT_EQ(cancel.type(), vantrel::automation::VarType::Boolean) << i;
        EXPECT_TRUE(cancel.toBool()) << i;
        EXPECT_EQ(code.toLong(), 77) << i;
        EXPECT_EQ(text.toText(), u"x") << i;
        EXPECT_EQ(other.toText(), u"y") << i;
    }
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(world.log->empty()) << "no event may touch the host's objects";
}

TEST_F(EventsTest, ConversionErrorsOfTheSalesHandlersUseTheirTitles) {
    ObjectRef api(std::make_shared<ScriptedObject>("Api", world.log));
    Variant notANumber(Text(u"doze")), campos, cancel(true);
    Variant array(vantrel::automation::Array(vantrel::automation::VarType::Variant, 0, 1));
    s->Vendas_OnOperacao(api, notANumber);
    s->Vendas_OnOperacaoEx(api, notANumber, campos);
    s->Vendas_OnCampoValidar(api, array, campos, cancel);
    s->Vendas_OnCampoValidarEx(api, array, campos, campos, cancel);
    std::string mismatch = "|48|Erro " + utf8(vantrel::automation::standardDescription(13));
    EXPECT_EQ(boxes(), (std::vector<std::string>{"Vendas_OnOperacao" + mismatch,
                                                 "Vendas_OnOperacao" + mismatch,
                                                 "Vendas_OnCampoValidar" + mismatch}));
    EXPECT_TRUE(cancel.toBool());
}

TEST_F(EventsTest, SalesHandlersWithoutApiDoNothing) {
    ObjectRef none;
    Variant notANumber(Text(u"doze")), campos, cancel(false);
    s->Vendas_OnOperacao(none, notANumber);
    s->Vendas_OnOperacaoEx(none, notANumber, campos);
    s->Vendas_OnCampoValidar(none, notANumber, campos, cancel);
    s->Stocks_OnGravar(none);
    s->Vendas_OnGravar(none);
    EXPECT_TRUE(boxes().empty());
    EXPECT_FALSE(cancel.toBool());
}

TEST_F(EventsTest, ArticleFieldValidationKeepsCancel) {
    ObjectRef api(std::make_shared<ScriptedObject>("Api", world.log));
    Variant name(Text(u"artigo")), value(Text(u"X1")), cancel(true);
    s->Vendas_OnCampoValidar(api, name, value, cancel);
    EXPECT_TRUE(cancel.toBool());
    EXPECT_TRUE(boxes().empty());
}

}  // namespace
