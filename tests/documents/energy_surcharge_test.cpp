// The energy surcharge over a small in-memory ERP.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "automation/runtime_error.h"
#include "documents/energy_surcharge.h"
#include "documents/fake_erp.h"

using namespace vantrel::testing;
using vantrel::automation::ObjectRef;
using vantrel::automation::T;
using vantrel::automation::Text;
using vantrel::automation::Variant;
using vantrel::documents::EnergySurcharge;
using vantrel::documents::EnumResult;
using vantrel::documents::Result;
namespace msgbox = vantrel::interfaces::msgbox;

namespace {

struct SurchargeTest : ::testing::Test {
    std::shared_ptr<FakeErp> erp = std::make_shared<FakeErp>();
    RecordingDialogs dialogs;
    vantrel::documents::DalComandos dal;
    ObjectRef api;
    Text documentos = u"FT,0;FR,0", taxa = u"1,5", artigo = u"TXE", pergunta = u"N";
    bool apiOn = true;
    int verifyCalls = 0;
    FakePlatform platform;

    void SetUp() override {
        erp->articles = {{u"A1", 10}, {u"B2", 5}, {u"TXE", 0}};
        api = erp->api();
        ObjectRef dados = erp->dataAccess();
        dal.SetDataAccess(dados);
    }
    EnergySurcharge surcharge() {
        return EnergySurcharge({dialogs, dal, api,
                                [this] {
                                    ++verifyCalls;
                                    return apiOn;
                                },
                                platform, u"C:\\Logs\\"},
                               {documentos, taxa, artigo, pergunta});
    }
    Result rewriteKeepingRate(std::int32_t number = 12) {
        EnergySurcharge s = surcharge();
        Result r = s.pAdicionaTaxaEnergetica(u"FT", u"0", number, 2024);
        taxa = s.settings().taxa;
        return r;
    }
    Result rewrite(std::int32_t number = 12) { return rewriteKeepingRate(number); }
    // The document object the host passes to the save event.
    ObjectRef saved(Variant serie, std::int32_t number = 12, Text type = u"FT") {
        auto cab = std::make_shared<ScriptedObject>("SavedCab", nullptr);
        cab->set(u"TipoDocumento", type).set(u"serie", serie).set(u"NossoNoDocumento", number);
        cab->set(u"ano", std::int16_t{2024});
        auto doc = std::make_shared<ScriptedObject>("Saved", nullptr);
        doc->set(u"Cab", Variant(ObjectRef(cab)));
        return ObjectRef(doc);
    }
    void storeWorkedExample() {
        erp->store({u"FT", u"0", 12, 2024}, {{u"A1", 10, 10}, {u"B2", 10, 5}}, {100, 50, 0, 0});
    }
    const FakeDoc& only() {
        EXPECT_EQ(erp->stored.size(), 1u);
        return erp->stored.begin()->second;
    }
    static std::vector<Text> articlesOf(const FakeDoc& d) {
        std::vector<Text> out;
        for (const Row& r : d.lines) out.push_back(r.at(u"ARTIGO").toText());
        return out;
    }
};

TEST_F(SurchargeTest, WorkedFigure) {
    storeWorkedExample();
    Result r = rewrite();
    EXPECT_EQ(r.tipo(), EnumResult::Sucesso) << utf8(r.Mensagem());
    EXPECT_EQ(r.Mensagem(), T("Foi alterado e finalizado o documento FT-0-100-2024"));
    EXPECT_EQ(taxa, u"1.5");  // normalised in place
    EXPECT_EQ(erp->find(u"FT", u"0", 12, 2024), nullptr);
    const FakeDoc* novo = erp->find(u"FT", u"0", 100, 2024);
    ASSERT_NE(novo, nullptr);
    EXPECT_TRUE(novo->finalised);
    ASSERT_EQ(novo->lines.size(), 3u);
    const Row& last = novo->lines.back();
    EXPECT_EQ(last.at(u"ARTIGO").toText(), u"TXE");
    EXPECT_DOUBLE_EQ(last.at(u"QUANT").toDouble(), 1.0);
    EXPECT_DOUBLE_EQ(last.at(u"PRUNIT").toDouble(), 2.25);
    EXPECT_EQ(last.at(u"TPLINHA").toLong(), 1);
    // The stored lines are carried with their own values, not the suggested ones.
    EXPECT_DOUBLE_EQ(novo->lines[1].at(u"PRUNIT").toDouble(), 5.0);
    EXPECT_EQ(novo->lines[1].at(u"DESCR").toText(), u"Linha B2");
    EXPECT_EQ(novo->cab.at(u"ORIGEM").toLong(), 3);
    // The recovery copy lived only while the document was out of the ERP.
    ASSERT_EQ(platform.appended.size(), 1u);
    EXPECT_EQ(platform.deleted, std::vector<Text>{platform.appended[0].first});
}

TEST_F(SurchargeTest, RateSettingForms) {
    struct Case {
        const char16_t* setting;
        const char16_t* normalised;
        double rate;
    } cases[] = {
        {u"1,5", u"1.5", 0.015},
        {u" 2.5 ", u"2.5", 0.025},
        {u"0", u"0", 0},
        {u"10", u"10", 0.10},
        {u"1.234,5", u"1.234.5", 0.01234},
        {u"-3", u"-3", -0.03},
        {u"7%", u"7%", 0.07},
        {u",5", u".5", 0.005},
    };
    for (const Case& c : cases) {
        Text n = EnergySurcharge::normaliseRate(c.setting);
        EXPECT_EQ(n, c.normalised) << utf8(c.setting);
        ASSERT_TRUE(EnergySurcharge::rateOf(n).has_value()) << utf8(c.setting);
        EXPECT_NEAR(*EnergySurcharge::rateOf(n), c.rate, 1e-12) << utf8(c.setting);
    }
}

TEST_F(SurchargeTest, RateThatIsNotANumberChangesNothing) {
    for (const char16_t* setting : {u"abc", u"", u"NaN", u"  ", u".", u"-", u"inf"}) {
        erp->stored.clear();
        erp->log->clear();
        storeWorkedExample();
        taxa = setting;
        Result r = rewrite();
        EXPECT_EQ(r.tipo(), EnumResult::Erro) << utf8(setting);
        EXPECT_EQ(r.Mensagem(), T("A taxa configurada (\"Taxa\" em \"Documentos com taxa\") não é "
                                  "um número: \"") +
                                    vantrel::automation::trim(Text(setting)) +
                                    T("\".\r\nDocumento não foi alterado!"));
        EXPECT_TRUE(erp->log->empty()) << utf8(setting);
        EXPECT_NE(erp->find(u"FT", u"0", 12, 2024), nullptr);
    }
    // A real 0 is a rate: the line is added at 0.
    erp->stored.clear();
    storeWorkedExample();
    taxa = u"0";
    ASSERT_EQ(rewrite().tipo(), EnumResult::Sucesso);
    EXPECT_DOUBLE_EQ(only().lines.back().at(u"PRUNIT").toDouble(), 0.0);
}

TEST_F(SurchargeTest, RateThatDoesNotFitIsAnErrorAndTouchesNothing) {
    storeWorkedExample();
    taxa = u"1e400";
    Result r = rewrite();
    EXPECT_EQ(r.tipo(), EnumResult::Erro);
    EXPECT_EQ(r.ErroNum(), 6);
    EXPECT_EQ(r.Mensagem(), vantrel::automation::standardDescription(6));
    EXPECT_NE(erp->find(u"FT", u"0", 12, 2024), nullptr);
}

TEST_F(SurchargeTest, PriceThatOverflowsIsAnError) {
    erp->store({u"FT", u"0", 12, 2024}, {{u"A1", 1, 1}}, {1e308, 1e308, 0, 0});
    taxa = u"200";
    Result r = rewrite();
    EXPECT_EQ(r.tipo(), EnumResult::Erro);
    EXPECT_EQ(r.ErroNum(), 6);
    EXPECT_NE(erp->find(u"FT", u"0", 12, 2024), nullptr);
}

TEST_F(SurchargeTest, QualifyingList) {
    struct Case {
        const char16_t* setting;
        const char16_t* type;
        const char16_t* series;
        bool qualifies;
    } cases[] = {
        {u"FT,A;FR,A", u"FT", u"A", true},  {u"FT,A;FR,A", u"FR", u"  A  ", true},
        {u"FT,A;FR,A", u"ft", u"A", false}, {u"FT,A;FR,A", u"FT", u"a", false},
        {u"FT, A", u"FT", u"A", false},     {u"", u"FT", u"A", false},
        {u"FT,A", u" FT", u"A", false},     {u"FT,AB", u"FT", u"A", false},
        {u"FT,0", u"FT", u"0", true},       {u"X;FT,0;Y", u"FT", u"0", true},
        {u"O'B,0", u"O'B", u"0", true},
    };
    for (const Case& c : cases) {
        documentos = c.setting;
        EXPECT_EQ(surcharge().pDocumentoInteressa(Variant(Text(c.type)), Variant(Text(c.series))),
                  c.qualifies)
            << utf8(c.setting) << " / " << utf8(c.type) << "," << utf8(c.series);
    }
}

TEST_F(SurchargeTest, QualifyingListErrorsCarryItsName) {
    vantrel::automation::Array a(vantrel::automation::VarType::Variant, 0, 0);
    try {
        surcharge().pDocumentoInteressa(Variant(a), Variant(Text(u"0")));
        FAIL();
    } catch (const vantrel::automation::RuntimeError& e) {
        EXPECT_EQ(e.source(), u"pDocumentoInteressa");
        EXPECT_EQ(e.number(), 13);
    }
}

TEST_F(SurchargeTest, DocumentThatAlreadyHasTheSurchargeIsLeftAlone) {
    erp->store({u"FT", u"0", 12, 2024}, {{u"A1", 1, 10}, {u"txe", 1, 2}}, {10, 0, 0, 0});
    Result r = rewrite();
    EXPECT_EQ(r.tipo(), EnumResult::Erro);
    EXPECT_EQ(r.Mensagem(),
              T("Documento já inclui linha de Taxa Energética.\r\nDocumento não foi alterado!"));
    EXPECT_EQ(articlesOf(only()), (std::vector<Text>{u"A1", u"txe"}));
    EXPECT_FALSE(erp->log->empty());
    for (const std::string& call : *erp->log) EXPECT_NE(call, "Doc.Remover");
}

TEST_F(SurchargeTest, EmptyArticleSettingTreatsACommentLineAsTheSurcharge) {
    artigo = u"";
    erp->store({u"FT", u"0", 12, 2024}, {{u"A1", 1, 10}, {u"", 0, 0, false, 2}});
    Result r = rewrite();
    EXPECT_EQ(r.tipo(), EnumResult::Erro);
    EXPECT_NE(r.Mensagem().find(T("já inclui")), Text::npos);
}

TEST_F(SurchargeTest, EmptyArticleSettingFailsValidationAndKeepsTheDocument) {
    artigo = u"";
    erp->store({u"FT", u"0", 12, 2024}, {{u"A1", 1, 10}});
    Result r = rewrite();
    EXPECT_EQ(r.tipo(), EnumResult::Erro);
    EXPECT_EQ(r.Mensagem(), T("Artigo '' inexistente.\r\nDocumento não foi alterado!"));
    EXPECT_EQ(articlesOf(only()), std::vector<Text>{u"A1"});
}

TEST_F(SurchargeTest, MissingDocument) {
    Result r = rewrite(99);
    EXPECT_EQ(r.tipo(), EnumResult::Erro);
    EXPECT_EQ(r.Mensagem(), T("Documento FT-0-99-2024 não existe."));
    EXPECT_TRUE(erp->stored.empty());
}

TEST_F(SurchargeTest, CancelledRowsAreSkippedAndOrderIsKept) {
    erp->store(
        {u"FT", u"0", 12, 2024},
        {{u"A1", 1, 1}, {u"B2", 1, 2, true}, {u"B2", 1, 3}, {u"A1", 1, 4, true}, {u"A1", 1, 5}});
    ASSERT_EQ(rewrite().tipo(), EnumResult::Sucesso);
    const FakeDoc& d = only();
    EXPECT_EQ(articlesOf(d), (std::vector<Text>{u"A1", u"B2", u"A1", u"TXE"}));
    std::vector<double> prices;
    for (const Row& row : d.lines) prices.push_back(row.at(u"PRUNIT").toDouble());
    EXPECT_EQ(prices[0], 1);
    EXPECT_EQ(prices[1], 3);
    EXPECT_EQ(prices[2], 5);
    EXPECT_EQ(d.lines[2].at(u"ORDENACA").toLong(), 5);
}

TEST_F(SurchargeTest, OddDocuments) {
    struct Case {
        const char* name;
        std::vector<FakeErp::StoredRow> lines;
        std::size_t expectedLines;
    };
    std::vector<FakeErp::StoredRow> many(5000, FakeErp::StoredRow{u"A1", 1, 1});
    Case cases[] = {
        {"no lines", {}, 1},
        {"only cancelled", {{u"A1", 1, 1, true}, {u"B2", 2, 2, true}}, 1},
        {"5000 lines", many, 5001},
    };
    for (Case& c : cases) {
        erp->stored.clear();
        erp->store({u"FT", u"0", 12, 2024}, c.lines, {200, 0, 0, 0});
        Result r = rewrite();
        EXPECT_EQ(r.tipo(), EnumResult::Sucesso) << c.name << ": " << utf8(r.Mensagem());
        const FakeDoc& d = only();
        ASSERT_EQ(d.lines.size(), c.expectedLines) << c.name;
        EXPECT_EQ(d.lines.back().at(u"ARTIGO").toText(), u"TXE") << c.name;
        EXPECT_DOUBLE_EQ(d.lines.back().at(u"PRUNIT").toDouble(), 3.0) << c.name;
    }
}

TEST_F(SurchargeTest, RefusalsBeforeTheInsertLeaveOneUntouchedDocument) {
    struct Case {
        const char* name;
        std::function<void(FakeErp&)> arrange;
        const char* message;
    } cases[] = {
        {"failed validation", [](FakeErp& e) { e.failNext["Validar"] = 1; },
         "Validar falhou\r\nDocumento não foi alterado!"},
        {"refused removal", [](FakeErp& e) { e.failNext["Remover"] = 1; },
         "O ERP não removeu o documento FT-0-12-2024: Remover falhou\r\n"
         "Não foi gravado nenhum documento novo."},
        {"refused removal, then a failing insert",
         [](FakeErp& e) {
             e.failNext = {{"Remover", 1}, {"Inserir", 1}};
         },
         "O ERP não removeu o documento FT-0-12-2024: Remover falhou\r\n"
         "Não foi gravado nenhum documento novo."},
        {"removal that leaves the document", [](FakeErp& e) { e.removerKeepsDocument = true; },
         "O documento FT-0-12-2024 continua gravado depois de o ERP o remover.\r\n"
         "Não foi gravado nenhum documento novo."},
        {"refused line", [](FakeErp& e) { e.failNext["AdicionaLinha"] = 1; },
         "O ERP recusou a linha 1 do documento: Linha recusada\r\nDocumento não foi alterado!"},
        {"lines dropped without a word", [](FakeErp& e) { e.dropLinesSilently = true; },
         "O ERP aceitou 0 de 3 linhas do documento.\r\nDocumento não foi alterado!"},
    };
    for (Case& c : cases) {
        erp = std::make_shared<FakeErp>();
        SetUp();
        storeWorkedExample();
        c.arrange(*erp);
        platform.appended.clear();
        Result r = rewrite();
        EXPECT_EQ(r.tipo(), EnumResult::Erro) << c.name;
        EXPECT_EQ(utf8(r.Mensagem()), c.message) << c.name;
        ASSERT_EQ(erp->stored.size(), 1u) << c.name;
        EXPECT_EQ(articlesOf(only()), (std::vector<Text>{u"A1", u"B2"})) << c.name;
        for (const std::string& call : *erp->log) EXPECT_NE(call, "Doc.Inserir") << c.name;
    }
}

TEST_F(SurchargeTest, FailedInsertPutsTheDocumentBackAsItWas) {
    struct Case {
        const char* name;
        bool finalised, keepsNumber;
        std::int32_t backAs;
        const char* message;
    } cases[] = {
        {"open original", false, true, 12,
         "Inserir falhou\r\nO documento original foi reposto como FT-0-12-2024."},
        {"final original", true, true, 12,
         "Inserir falhou\r\nO documento original foi reposto como FT-0-12-2024."},
        {"new number", false, false, 100,
         "Inserir falhou\r\nO documento original foi reposto como FT-0-100-2024 (o original era "
         "FT-0-12-2024)."},
    };
    for (Case& c : cases) {
        erp->stored.clear();
        storeWorkedExample();
        erp->stored.begin()->second.finalised = c.finalised;
        erp->stored.begin()->second.cab[u"ORIGEM"] = Variant(std::int16_t{1});
        erp->insertKeepsNumber = c.keepsNumber;
        erp->failNext["Inserir"] = 1;
        platform.deleted.clear();
        Result r = rewrite();
        EXPECT_EQ(r.tipo(), EnumResult::Erro) << c.name;
        EXPECT_EQ(utf8(r.Mensagem()), c.message) << c.name;
        const FakeDoc* back = erp->find(u"FT", u"0", c.backAs, 2024);
        ASSERT_NE(back, nullptr) << c.name;
        EXPECT_EQ(erp->stored.size(), 1u) << c.name;
        EXPECT_EQ(articlesOf(*back), (std::vector<Text>{u"A1", u"B2"})) << c.name;
        EXPECT_EQ(back->finalised, c.finalised) << c.name;
        EXPECT_EQ(back->cab.at(u"ORIGEM").toLong(), 1) << c.name;
        EXPECT_EQ(platform.deleted.size(), 1u) << c.name;  // the recovery copy goes
    }
}

TEST_F(SurchargeTest, RecoveryCopyHoldsEveryRowAndNamesItselfWhenAllFails) {
    erp->store({u"FT", u"0", 12, 2024}, {{u"A1", 2, 10}, {u"B2", 1, 5, true}}, {20, 0, 0, 0});
    erp->throwOn.insert("Inserir");
    Result r = rewrite();
    ASSERT_EQ(platform.appended.size(), 1u);
    const auto& [file, text] = platform.appended[0];
    EXPECT_EQ(file, u"C:\\Logs\\QuorilVantrel_recuperacao_FT-0-12-2024_20240315-103005.txt");
    for (const char16_t* expected :
         {u"[Cabeçalho]\r\nTipoDocumento=FT\r\nserie=0\r\n", u"NossoNoDocumento=12", u"Base1=20",
          u"[Linha 2]\r\n", u"ARTIGO=B2", u"LINANU=True", u"DESCR=Linha A1"})
        EXPECT_NE(text.find(expected), Text::npos) << utf8(expected);
    EXPECT_EQ(r.ErroNum(), 440);
    EXPECT_EQ(utf8(r.Mensagem()),
              "Falha do ERP em Inserir\r\nATENÇÃO: o documento original FT-0-12-2024 foi "
              "removido e não foi possível repô-lo: Falha do ERP em Inserir\r\nOs dados do "
              "documento estão guardados em " +
                  utf8(file) + ".");
    EXPECT_TRUE(platform.deleted.empty());

    // No copy, no removal.
    erp->stored.clear();
    erp->throwOn.clear();
    storeWorkedExample();
    platform.appendFails = true;
    r = rewrite();
    EXPECT_EQ(utf8(r.Mensagem()),
              "Não foi possível escrever a cópia de recuperação do documento "
              "FT-0-12-2024 em C:\\Logs\\.\r\nDocumento não foi alterado!");
    EXPECT_NE(erp->find(u"FT", u"0", 12, 2024), nullptr);
}

TEST_F(SurchargeTest, FailedFinaliseIsNeverSuccess) {
    storeWorkedExample();
    erp->failNext["Finalizar"] = 1;
    Result r = rewrite();
    EXPECT_EQ(r.tipo(), EnumResult::Erro);
    EXPECT_EQ(r.Mensagem(), u"Finalizar falhou");
    const FakeDoc* novo = erp->find(u"FT", u"0", 100, 2024);
    ASSERT_NE(novo, nullptr);
    EXPECT_FALSE(novo->finalised);
}

TEST_F(SurchargeTest, HostErrorBeforeRemovalBecomesAnErrorResult) {
    storeWorkedExample();
    erp->throwOn.insert("AdicionaLinha");
    Result r = rewrite();
    EXPECT_EQ(r.tipo(), EnumResult::Erro);
    EXPECT_EQ(r.ErroNum(), 440);
    EXPECT_EQ(r.Mensagem(), u"Falha do ERP em AdicionaLinha");
    EXPECT_NE(erp->find(u"FT", u"0", 12, 2024), nullptr);
}

TEST_F(SurchargeTest, StoredRowsFailure) {
    storeWorkedExample();
    erp->throwOn.insert("OpenRecordset");
    Result r = rewrite();
    EXPECT_EQ(r.tipo(), EnumResult::Erro);
    EXPECT_EQ(r.Mensagem(), u"Falha do ERP em OpenRecordset");
}

TEST_F(SurchargeTest, ApostrophesInTheKeyReachTheDatabaseSafely) {
    erp->store({u"F'T", u"0'", 3, 2024}, {{u"A1", 1, 10}}, {10, 0, 0, 0});
    Result r = surcharge().pAdicionaTaxaEnergetica(u"F'T", u"0'", 3, 2024);
    EXPECT_EQ(r.tipo(), EnumResult::Sucesso) << utf8(r.Mensagem());
    ASSERT_EQ(erp->statements.size(), 1u);
    EXPECT_NE(erp->statements[0].find(u"TPDOCUM='F''T'"), Text::npos);
    EXPECT_EQ(articlesOf(only()), (std::vector<Text>{u"A1", u"TXE"}));
}

// --- The save hook ------------------------------------------------------------------------

TEST_F(SurchargeTest, HookActsOnlyOnSeriesThatReadAsZero) {
    struct Case {
        Variant serie;
        bool acts;
    } cases[] = {
        {Variant(Text(u"0")), true},
        {Variant(std::int16_t{0}), true},
        {Variant(Text(u" 0 ")), true},
        {Variant(Text(u"A")), false},
        {Variant(Text(u"1")), false},
        {Variant::null(), false},
        {Variant(Text(u"0,0")), true},
        // Past 32 bits or past a Double: no number, so no surcharge and no error.
        {Variant(Text(u"&HFFFFFFFFF")), false},
        {Variant(Text(u"1e999")), false},
        {Variant(Text(u"&H0")), true},
    };
    for (const Case& c : cases) {
        verifyCalls = 0;
        erp->log->clear();
        dialogs.boxes.clear();
        surcharge().Vendas_OnGravar(saved(c.serie, 77));
        EXPECT_EQ(verifyCalls, c.acts ? 1 : 0)
            << utf8(c.serie.isNull() ? u"Null" : c.serie.toText());
        if (!c.acts) {
            EXPECT_TRUE(erp->log->empty());
            EXPECT_TRUE(dialogs.boxes.empty());
        }
    }
}

TEST_F(SurchargeTest, HookStopsWhenTheApiIsClosed) {
    storeWorkedExample();
    apiOn = false;
    surcharge().Vendas_OnGravar(saved(Variant(Text(u"0"))));
    EXPECT_EQ(verifyCalls, 1);
    EXPECT_TRUE(erp->log->empty());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(SurchargeTest, HookIgnoresDocumentsOutsideTheList) {
    erp->store({u"NC", u"0", 4, 2024}, {{u"A1", 1, 10}});
    surcharge().Vendas_OnGravar(saved(Variant(Text(u"0")), 4, u"NC"));
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(articlesOf(only()), std::vector<Text>{u"A1"});
}

TEST_F(SurchargeTest, HookAsksWhenPerguntaStartsWithS) {
    struct Case {
        const char16_t* pergunta;
        std::vector<int> answers;
        bool asked;
        bool added;
    } cases[] = {
        {u"sim", {msgbox::AnswerYes}, true, true},
        {u"S", {msgbox::AnswerNo}, true, false},
        {u"N", {}, false, true},
        {u"", {}, false, true},
        {u" S", {}, false, true},
    };
    for (const Case& c : cases) {
        erp->stored.clear();
        storeWorkedExample();
        dialogs.boxes.clear();
        dialogs.answers.assign(c.answers.begin(), c.answers.end());
        pergunta = c.pergunta;
        surcharge().Vendas_OnGravar(saved(Variant(Text(u"0"))));
        bool asked = !dialogs.boxes.empty() &&
                     dialogs.boxes[0].text == T("Pretende adicionar Taxa Energética?");
        EXPECT_EQ(asked, c.asked) << utf8(c.pergunta);
        if (asked) {
            EXPECT_EQ(dialogs.boxes[0].style, 292);
            EXPECT_EQ(dialogs.boxes[0].title, T("Taxa Energética"));
        }
        EXPECT_EQ(erp->find(u"FT", u"0", 12, 2024) == nullptr, c.added) << utf8(c.pergunta);
        EXPECT_EQ(dialogs.boxes.size(), (c.asked ? 1u : 0u) + (c.added ? 1u : 0u));
    }
}

TEST_F(SurchargeTest, HookShowsTheOutcome) {
    storeWorkedExample();
    surcharge().Vendas_OnGravar(saved(Variant(Text(u"0"))));
    surcharge().Vendas_OnGravar(saved(Variant(Text(u"0")), 100));
    EXPECT_EQ(dialogs.summary(),
              (std::vector<std::string>{
                  "Taxa Energética|64|Foi alterado e finalizado o documento FT-0-100-2024",
                  "Taxa Energética|48|Documento já inclui linha de Taxa Energética.\r\n"
                  "Documento não foi alterado!"}));
}

}  // namespace
