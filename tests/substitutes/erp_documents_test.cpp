#include <gtest/gtest.h>

#include <cmath>

#include "automation/datetime.h"
#include "data_folder.h"
#include "erp/document_line.h"
#include "erp/sqlite_database.h"
#include "erp_test_support.h"

using namespace vantrel::substitutes;
using namespace vantrel::substitutes::erp;
using namespace vantrel::substitutes::erp::testing;
using vantrel::automation::byRef;
using vantrel::automation::makeDate;
using vantrel::automation::makeObject;
using vantrel::automation::ObjectRef;
using vantrel::automation::Text;
using vantrel::automation::toUtf8;
using vantrel::automation::Variant;

namespace {

class DocumentsTest : public CompanyFixture {
protected:
    void SetUp() override {
        CompanyFixture::SetUp();
        api = connectedApi();
    }

    std::int32_t store(DocumentDraft draft) { return insertDocument(api, draft); }
    DocumentDraft simple(Text type = u"FT", Text series = u"A", std::int16_t year = 2024) {
        return DocumentDraft{type, series, year, 0, u"C1", makeDate(2024, 6, 1), {{u"A001", 1}}};
    }
    ObjectRef load(const Text& type, std::int32_t number, const Text& series, std::int16_t year) {
        ObjectRef doc = api.object(u"NewSalesDocument");
        doc.call(u"Ler", type, number, series, year);
        return doc;
    }
    ObjectRef newLine(const Text& article, double quantity) {
        ObjectRef line = api.object(u"NewDocumentLine");
        line.put(u"Artigo", article);
        line.put(u"Quantidade", quantity);
        return line;
    }
    std::string log(const ObjectRef& doc) {
        return toUtf8(doc.get(u"AllLogFileMessages").toText());
    }

    ObjectRef api;
};

TEST_F(DocumentsTest, NumbersRunPerTypeSeriesAndYear) {
    EXPECT_EQ(store(simple()), 1);
    EXPECT_EQ(store(simple()), 2);
    EXPECT_EQ(store(simple(u"FT", u"B")), 1);
    EXPECT_EQ(store(simple(u"FR", u"A")), 1);
    EXPECT_EQ(store(simple(u"FT", u"A", 2025)), 1);
    EXPECT_EQ(store(simple(u"ft", u"a")), 3) << "type and series compare without regard to case";
}

TEST_F(DocumentsTest, ARemovedNumberIsNeverGivenAgain) {
    store(simple());
    std::int32_t second = store(simple());
    ObjectRef doc = load(u"FT", second, u"A", 2024);
    EXPECT_EQ(doc.call(u"Remover").toLong(), 0);
    EXPECT_EQ(store(simple()), 3);
}

TEST_F(DocumentsTest, AnExplicitNumberIsKeptWhenFreeAndRefusedWhenTaken) {
    DocumentDraft s = simple();
    s.number = 10;
    EXPECT_EQ(store(s), 10);
    EXPECT_EQ(store(simple()), 11) << "numbering goes on after the highest number";
    try {
        store(s);
        FAIL() << "stored twice under one number";
    } catch (const vantrel::automation::RuntimeError& e) {
        EXPECT_EQ(toUtf8(e.description()), "O documento FT-A-10-2024 já existe.");
    }
}

TEST_F(DocumentsTest, LerLoadsHeaderAndLinesInOrder) {
    DocumentDraft s = simple();
    s.lines = {{u"A001", 2},
               {u"", 0, std::nullopt, std::nullopt, u"Nota", kCommentLine},
               {u"B002", 1, 12.5}};
    std::int32_t n = store(s);
    ObjectRef doc = load(u"FT", n, u"A", 2024);
    ObjectRef cab = doc.object(u"Cab");
    EXPECT_EQ(cab.get(u"NossoNoDocumento").toLong(), n);
    EXPECT_EQ(toUtf8(cab.get(u"TipoDocumento").toText()), "FT");
    EXPECT_EQ(toUtf8(cab.get(u"serie").toText()), "A");
    EXPECT_EQ(toUtf8(cab.get(u"serieOriginal").toText()), "A");
    EXPECT_EQ(cab.get(u"ano").toLong(), 2024);
    EXPECT_EQ(toUtf8(cab.get(u"Entidade").toText()), "C1");
    EXPECT_DOUBLE_EQ(cab.get(u"Data").toDate(), makeDate(2024, 6, 1));
    ASSERT_EQ(doc.object(u"Linhas").get(u"Count").toLong(), 3);
    ObjectRef first = doc.object(u"Linhas", std::int16_t{1});
    EXPECT_EQ(toUtf8(first.get(u"Artigo").toText()), "A001");
    EXPECT_EQ(toUtf8(first.get(u"Descricao").toText()), "Parafuso");
    EXPECT_DOUBLE_EQ(first.get(u"Quantidade").toDouble(), 2);
    EXPECT_DOUBLE_EQ(first.get(u"PrecoUnitario").toDouble(), 10);
    EXPECT_EQ(first.get(u"Ordenacao").toLong(), 1);
    EXPECT_EQ(doc.object(u"Linhas").object(u"", std::int32_t{2}).get(u"TipoDeLinha").toLong(),
              kCommentLine);
    EXPECT_DOUBLE_EQ(
        doc.object(u"Linhas").object(u"Item", std::int32_t{3}).get(u"PrecoUnitario").toDouble(),
        12.5);
}

TEST_F(DocumentsTest, LerOfAMissingDocumentLeavesNumberZero) {
    ObjectRef doc = load(u"FT", 99, u"A", 2024);
    EXPECT_EQ(doc.object(u"Cab").get(u"NossoNoDocumento").toLong(), 0);
    EXPECT_EQ(doc.object(u"Linhas").get(u"Count").toLong(), 0);
    EXPECT_FALSE(doc.call(u"Ler", u"FT", std::int32_t{99}, u"A", std::int16_t{2024}).toBool());
}

TEST_F(DocumentsTest, TaxBasesFollowTheFourVatRates) {
    DocumentDraft s = simple();
    s.lines = {
        {u"A001", 10},                                               // 23%: 100
        {u"C003", 10},                                               // 13%: 50
        {u"B002", 2, 20.0, std::nullopt, u"", 1, false, 10},         // 6%: 40 less 10% = 36
        {u"D004", 1},                                                // 0%: 50
        {u"A001", 5, std::nullopt, std::nullopt, u"", 1, true},      // cancelled: nothing
        {u"", 0, std::nullopt, std::nullopt, u"Obs.", kCommentLine}  // comment: nothing
    };
    std::int32_t n = store(s);
    ObjectRef cab = load(u"FT", n, u"A", 2024).object(u"Cab");
    EXPECT_DOUBLE_EQ(cab.get(u"Base1").toDouble(), 100);
    EXPECT_DOUBLE_EQ(cab.get(u"Base2").toDouble(), 50);
    EXPECT_DOUBLE_EQ(cab.get(u"Base3").toDouble(), 36);
    EXPECT_DOUBLE_EQ(cab.get(u"Base4").toDouble(), 50);
    EXPECT_DOUBLE_EQ(cab.get(u"TotalIva").toDouble(), 23 + 6.5 + 2.16);
    EXPECT_DOUBLE_EQ(cab.get(u"TotalDocumento").toDouble(), 236 + 31.66);
    EXPECT_EQ(errorNumber([&] { cab.put(u"Base1", 5.0); }),
              vantrel::automation::errc::NotSupported);
}

TEST_F(DocumentsTest, OtherVatRatesMoveTheBases) {
    setVatRates(kCatalog, {22, 12, 5, 0});  // Madeira
    addArticle(kCatalog, {u"M22", u"Madeira", u"UN", 22, 10, u"A1"});
    DocumentDraft s = simple();
    s.lines = {{u"M22", 1}};
    ObjectRef cab = load(u"FT", store(s), u"A", 2024).object(u"Cab");
    EXPECT_DOUBLE_EQ(cab.get(u"Base1").toDouble(), 10);
}

TEST_F(DocumentsTest, CalculaTotaisCabecalhoWorksBeforeStoring) {
    ObjectRef doc = api.object(u"NewSalesDocument");
    ObjectRef line = newLine(u"A001", 3);
    line.put(u"PrecoUnitario", 2.5);
    line.put(u"TaxaIva", 23.0);
    doc.call(u"AdicionaLinha", line);
    doc.call(u"CalculaTotaisCabecalho");
    EXPECT_DOUBLE_EQ(doc.object(u"Cab").get(u"Base1").toDouble(), 7.5);
}

TEST_F(DocumentsTest, SugereValoresLinFillsFromTheArticle) {
    ObjectRef doc = api.object(u"NewSalesDocument");
    doc.object(u"Cab").put(u"Data", Variant::date(makeDate(2024, 2, 29)));
    ObjectRef line = api.object(u"NewDocumentLine");
    line.put(u"Artigo", u"c003");
    Variant ref(line);
    EXPECT_TRUE(doc.call(u"SugereValoresLin", byRef(ref), true, true, true, true, true, true, true)
                    .toBool());
    EXPECT_EQ(toUtf8(line.get(u"Descricao").toText()), "Vinho");
    EXPECT_EQ(toUtf8(line.get(u"Unidade").toText()), "GF");
    EXPECT_DOUBLE_EQ(line.get(u"TaxaIva").toDouble(), 13);
    EXPECT_DOUBLE_EQ(line.get(u"PrecoUnitario").toDouble(), 5);
    EXPECT_DOUBLE_EQ(line.get(u"PrecoUnitarioIntroduzido").toDouble(), 5);
    EXPECT_EQ(toUtf8(line.get(u"Armazem").toText()), "A1");
    EXPECT_DOUBLE_EQ(line.get(u"DataMvStock").toDate(), makeDate(2024, 2, 29));
    EXPECT_DOUBLE_EQ(line.get(u"Factor").toDouble(), 1);
}

TEST_F(DocumentsTest, SugereValoresLinKeepsWhatItIsToldToKeep) {
    ObjectRef doc = api.object(u"NewSalesDocument");
    ObjectRef line = api.object(u"NewDocumentLine");
    line.put(u"Artigo", u"A001");
    line.put(u"Armazem", u"Z9");
    line.put(u"Descricao", u"Minha");
    line.put(u"PrecoUnitario", 99.0);
    doc.call(u"SugereValoresLin", line, false, true, true, false, true, true, true);
    EXPECT_EQ(toUtf8(line.get(u"Descricao").toText()), "Minha");
    EXPECT_DOUBLE_EQ(line.get(u"PrecoUnitario").toDouble(), 99);
    EXPECT_EQ(toUtf8(line.get(u"Armazem").toText()), "Z9") << "a line's own warehouse wins";
    EXPECT_DOUBLE_EQ(line.get(u"TaxaIva").toDouble(), 23);
}

TEST_F(DocumentsTest, SugereValoresLinLeavesAnUnknownArticleAlone) {
    ObjectRef doc = api.object(u"NewSalesDocument");
    ObjectRef line = newLine(u"NOPE", 1);
    line.put(u"Descricao", u"x");
    EXPECT_FALSE(
        doc.call(u"SugereValoresLin", line, true, true, true, true, true, true, true).toBool());
    EXPECT_EQ(toUtf8(line.get(u"Descricao").toText()), "x");
}

TEST_F(DocumentsTest, SugereValoresLinWorksOnALineFromAnotherBridge) {
    ObjectRef doc = api.object(u"NewSalesDocument");
    ObjectRef inner = newLine(u"B002", 1);
    ObjectRef foreign = makeObject<Forwarder>(inner);
    doc.call(u"SugereValoresLin", foreign, true, true, true, true, true, true, true);
    EXPECT_EQ(toUtf8(inner.get(u"Descricao").toText()), "Livro");
    doc.call(u"AdicionaLinha", foreign);
    EXPECT_EQ(toUtf8(doc.object(u"Linhas", 1).get(u"Descricao").toText()), "Livro");
}

// Lines share their values until one changes: a change on either side stays on that side.
TEST_F(DocumentsTest, AddedAndClonedLinesAreCopies) {
    ObjectRef doc = api.object(u"NewSalesDocument");
    ObjectRef line = newLine(u"A001", 1);
    doc.call(u"AdicionaLinha", line);
    line.put(u"Quantidade", 7.0);
    EXPECT_DOUBLE_EQ(doc.object(u"Linhas", 1).get(u"Quantidade").toDouble(), 1);
    doc.object(u"Linhas", 1).put(u"Quantidade", 3.0);
    EXPECT_DOUBLE_EQ(line.get(u"Quantidade").toDouble(), 7);

    ObjectRef clone = api.object(u"NewSalesDocument");
    doc.object(u"Cab").call(u"Clona", clone.object(u"Cab"));
    clone.object(u"Linhas", 1).put(u"Quantidade", 5.0);
    EXPECT_DOUBLE_EQ(doc.object(u"Linhas", 1).get(u"Quantidade").toDouble(), 3);
    doc.object(u"Linhas", 1).put(u"Quantidade", 4.0);
    EXPECT_DOUBLE_EQ(clone.object(u"Linhas", 1).get(u"Quantidade").toDouble(), 5);
}

// A document looks for a refused line when it adds its first line, and again only while one
// was waiting; a failure armed later waits for the next document.
TEST_F(DocumentsTest, InjectedLineRefusalReachesTheNextDocumentThatAddsLines) {
    injectFailure(kCatalog, operation::AdicionaLinha, u"Linha recusada");
    ObjectRef first = api.object(u"NewSalesDocument");
    EXPECT_FALSE(first.call(u"AdicionaLinha", newLine(u"A001", 1)).toBool());
    EXPECT_EQ(log(first), "Linha recusada");
    EXPECT_TRUE(first.call(u"AdicionaLinha", newLine(u"A001", 1)).toBool());
    injectFailure(kCatalog, operation::AdicionaLinha, u"Depois");
    EXPECT_TRUE(first.call(u"AdicionaLinha", newLine(u"A001", 1)).toBool());
    EXPECT_EQ(first.object(u"Linhas").get(u"Count").toLong(), 2);
    ObjectRef next = api.object(u"NewSalesDocument");
    EXPECT_FALSE(next.call(u"AdicionaLinha", newLine(u"A001", 1)).toBool());
    EXPECT_EQ(log(next), "Depois");
}

struct ValidationCase {
    const char* name;
    void (*prepare)(ObjectRef doc, ObjectRef api);
    const char* message;  // empty: valid
};
void PrintTo(const ValidationCase& c, std::ostream* os) {
    *os << c.name;
}

ObjectRef lineOf(ObjectRef api, const char16_t* article, double quantity, double price,
                 double vat) {
    ObjectRef line = api.object(u"NewDocumentLine");
    line.put(u"Artigo", article);
    line.put(u"Quantidade", quantity);
    line.put(u"PrecoUnitario", price);
    line.put(u"TaxaIva", vat);
    return line;
}

void header(ObjectRef doc, const char16_t* type, const char16_t* series, std::int16_t year) {
    ObjectRef cab = doc.object(u"Cab");
    cab.put(u"TipoDocumento", type);
    cab.put(u"serie", series);
    cab.put(u"ano", year);
}

class Validation : public DocumentsTest, public ::testing::WithParamInterface<ValidationCase> {};

TEST_P(Validation, ValidarAndInserirGiveTheSameVerdict) {
    const ValidationCase& c = GetParam();
    ObjectRef doc = api.object(u"NewSalesDocument");
    c.prepare(doc, api);
    std::int32_t v = doc.call(u"Validar", std::int16_t{0}).toLong();
    std::string messages = log(doc);
    if (*c.message == 0) {
        EXPECT_EQ(v, 0) << messages;
        EXPECT_EQ(doc.call(u"Inserir").toLong(), 0) << log(doc);
        EXPECT_EQ(log(doc), "");
    } else {
        EXPECT_NE(v, 0);
        EXPECT_NE(messages.find(c.message), std::string::npos) << messages;
        EXPECT_NE(doc.call(u"Inserir").toLong(), 0);
        EXPECT_NE(log(doc).find(c.message), std::string::npos);
        EXPECT_EQ(doc.object(u"Cab").get(u"NossoNoDocumento").toLong(), 0) << "nothing stored";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Validation,
    ::testing::Values(ValidationCase{"Valid",
                                     [](ObjectRef d, ObjectRef a) {
                                         header(d, u"FT", u"A", 2024);
                                         d.call(u"AdicionaLinha", lineOf(a, u"A001", 1, 10, 23));
                                     },
                                     ""},
                      ValidationCase{"NoLines",
                                     [](ObjectRef d, ObjectRef) { header(d, u"FT", u"A", 2024); },
                                     "O documento não tem linhas."},
                      ValidationCase{"OnlyCancelledLines",
                                     [](ObjectRef d, ObjectRef a) {
                                         header(d, u"FT", u"A", 2024);
                                         ObjectRef l = lineOf(a, u"A001", 1, 10, 23);
                                         l.put(u"LinhaAnulada", true);
                                         d.call(u"AdicionaLinha", l);
                                     },
                                     "O documento não tem linhas."},
                      ValidationCase{"UnknownArticle",
                                     [](ObjectRef d, ObjectRef a) {
                                         header(d, u"FT", u"A", 2024);
                                         d.call(u"AdicionaLinha", lineOf(a, u"A001", 1, 10, 23));
                                         d.call(u"AdicionaLinha", lineOf(a, u"ZZZ", 1, 10, 23));
                                     },
                                     "Linha 2: o artigo ZZZ não existe."},
                      ValidationCase{"EmptyArticle",
                                     [](ObjectRef d, ObjectRef a) {
                                         header(d, u"FT", u"A", 2024);
                                         d.call(u"AdicionaLinha", lineOf(a, u"", 1, 10, 23));
                                     },
                                     "Linha 1: o artigo não está preenchido."},
                      ValidationCase{"ZeroQuantity",
                                     [](ObjectRef d, ObjectRef a) {
                                         header(d, u"FT", u"A", 2024);
                                         d.call(u"AdicionaLinha", lineOf(a, u"A001", 0, 10, 23));
                                     },
                                     "Linha 1: a quantidade não pode ser zero."},
                      ValidationCase{"NegativePrice",
                                     [](ObjectRef d, ObjectRef a) {
                                         header(d, u"FT", u"A", 2024);
                                         d.call(u"AdicionaLinha", lineOf(a, u"A001", 1, -1, 23));
                                     },
                                     "Linha 1: o preço unitário não pode ser negativo."},
                      ValidationCase{"InfinitePrice",
                                     [](ObjectRef d, ObjectRef a) {
                                         header(d, u"FT", u"A", 2024);
                                         d.call(u"AdicionaLinha",
                                                lineOf(a, u"A001", 1, HUGE_VAL, 23));
                                     },
                                     "Linha 1: o preço unitário não é um número válido."},
                      ValidationCase{"UnconfiguredVatRate",
                                     [](ObjectRef d, ObjectRef a) {
                                         header(d, u"FT", u"A", 2024);
                                         d.call(u"AdicionaLinha", lineOf(a, u"A001", 1, 10, 21));
                                     },
                                     "Linha 1: a taxa de IVA de 21% não está configurada."},
                      ValidationCase{"DiscountOverAHundred",
                                     [](ObjectRef d, ObjectRef a) {
                                         header(d, u"FT", u"A", 2024);
                                         ObjectRef l = lineOf(a, u"A001", 1, 10, 23);
                                         l.put(u"TaxaDesconto", 150.0);
                                         d.call(u"AdicionaLinha", l);
                                     },
                                     "Linha 1: o desconto de 150% tem de estar entre 0 e 100."},
                      ValidationCase{"UnknownLineType",
                                     [](ObjectRef d, ObjectRef a) {
                                         header(d, u"FT", u"A", 2024);
                                         ObjectRef l = lineOf(a, u"A001", 1, 10, 23);
                                         l.put(u"TipoDeLinha", std::int32_t{9});
                                         d.call(u"AdicionaLinha", l);
                                     },
                                     "Linha 1: o tipo de linha 9 não existe."},
                      ValidationCase{"UnknownDocumentType",
                                     [](ObjectRef d, ObjectRef a) {
                                         header(d, u"XX", u"A", 2024);
                                         d.call(u"AdicionaLinha", lineOf(a, u"A001", 1, 10, 23));
                                     },
                                     "O tipo de documento XX não existe."},
                      ValidationCase{"NoSeries",
                                     [](ObjectRef d, ObjectRef a) {
                                         header(d, u"FT", u"  ", 2024);
                                         d.call(u"AdicionaLinha", lineOf(a, u"A001", 1, 10, 23));
                                     },
                                     "A série do documento não está preenchida."},
                      ValidationCase{"NoYear",
                                     [](ObjectRef d, ObjectRef a) {
                                         header(d, u"FT", u"A", 0);
                                         d.call(u"AdicionaLinha", lineOf(a, u"A001", 1, 10, 23));
                                     },
                                     "O ano 0 do documento não é válido."}),
    [](const ::testing::TestParamInfo<ValidationCase>& i) { return i.param.name; });

TEST_F(DocumentsTest, EveryFaultIsReportedOnItsOwnLine) {
    ObjectRef doc = api.object(u"NewSalesDocument");
    header(doc, u"FT", u"A", 2024);
    doc.call(u"AdicionaLinha", lineOf(api, u"ZZZ", 0, 10, 23));
    EXPECT_EQ(doc.call(u"Validar", std::int16_t{0}).toLong(), 1);
    EXPECT_EQ(log(doc),
              "Linha 1: o artigo ZZZ não existe.\r\nLinha 1: a quantidade não pode ser zero.");
}

TEST_F(DocumentsTest, InserirWritesOneRowPerLineInPositionOrder) {
    ObjectRef doc = api.object(u"NewSalesDocument");
    header(doc, u"FT", u"A", 2024);
    for (const char16_t* article : {u"C003", u"A001", u"B002"}) {
        ObjectRef l = lineOf(api, article, 1, 1, 23);
        l.put(u"Ordenacao", std::int32_t{0});  // whatever the caller put, the position counts
        if (Text(article) == u"B002") l.put(u"TaxaIva", 6.0);
        if (Text(article) == u"C003") l.put(u"TaxaIva", 13.0);
        doc.call(u"AdicionaLinha", l);
    }
    ASSERT_EQ(doc.call(u"Inserir").toLong(), 0) << log(doc);
    std::int32_t n = doc.object(u"Cab").get(u"NossoNoDocumento").toLong();
    EXPECT_EQ(n, 1);
    EXPECT_EQ(doc.object(u"Linhas", 3).get(u"Ordenacao").toLong(), 3);
    auto db = Database::open(databaseFile(kCatalog), Database::Mode::ReadWrite);
    auto q =
        db->prepare("SELECT ARTIGO, ORDENACA FROM DOCGCLIN WHERE NNUMDOC = 1 ORDER BY ORDENACA");
    std::vector<std::string> rows;
    while (q.step()) rows.push_back(toUtf8(q.text(0)) + "@" + std::to_string(q.integer(1)));
    EXPECT_EQ(rows, (std::vector<std::string>{"C003@1", "A001@2", "B002@3"}));
}

TEST_F(DocumentsTest, InserirGivesTodayToADocumentWithoutDate) {
    ObjectRef doc = api.object(u"NewSalesDocument");
    header(doc, u"FT", u"A", 2024);
    doc.call(u"AdicionaLinha", lineOf(api, u"A001", 1, 1, 23));
    ASSERT_EQ(doc.call(u"Inserir").toLong(), 0);
    double today = std::floor(vantrel::automation::SystemClock().now());
    EXPECT_DOUBLE_EQ(doc.object(u"Cab").get(u"Data").toDate(), today);
    EXPECT_DOUBLE_EQ(doc.object(u"Linhas", 1).get(u"DataMvStock").toDate(), 0)
        << "the object keeps what it was given";
    ObjectRef stored = load(u"FT", 1, u"A", 2024);
    EXPECT_DOUBLE_EQ(stored.object(u"Linhas", 1).get(u"DataMvStock").toDate(), today)
        << "stored with the document's date";
}

TEST_F(DocumentsTest, RemoverDeletesHeaderAndLines) {
    std::int32_t n = store(simple());
    ObjectRef doc = load(u"FT", n, u"A", 2024);
    EXPECT_EQ(doc.call(u"Remover").toLong(), 0);
    EXPECT_EQ(load(u"FT", n, u"A", 2024).object(u"Cab").get(u"NossoNoDocumento").toLong(), 0);
    {
        auto db = Database::open(databaseFile(kCatalog), Database::Mode::ReadWrite);
        auto q = db->prepare("SELECT COUNT(*) FROM DOCGCLIN");
        q.step();
        EXPECT_EQ(q.integer(0), 0);
    }
    EXPECT_EQ(doc.call(u"Remover").toLong(), 1) << "a second removal finds nothing";
    EXPECT_EQ(log(doc), "O documento FT-A-1-2024 não existe.");
    EXPECT_EQ(api.object(u"NewSalesDocument").call(u"Remover").toLong(), 1);
}

TEST_F(DocumentsTest, FinalizarMarksTheStoredDocumentAndLoadsIt) {
    std::int32_t n = store(simple());
    ObjectRef doc = api.object(u"NewSalesDocument");
    EXPECT_EQ(doc.call(u"Finalizar", std::int16_t{2024}, u"FT", u"A", n).toLong(), 0);
    ObjectRef cab = doc.object(u"Cab");
    EXPECT_EQ(cab.get(u"NossoNoDocumento").toLong(), n);
    EXPECT_EQ(toUtf8(cab.get(u"TipoDocumento").toText()), "FT");
    EXPECT_TRUE(cab.get(u"Finalizado").toBool());
    EXPECT_TRUE(load(u"FT", n, u"A", 2024).object(u"Cab").get(u"Finalizado").toBool());

    EXPECT_EQ(doc.call(u"Finalizar", std::int16_t{2024}, u"FT", u"A", n).toLong(), 1);
    EXPECT_EQ(log(doc), "O documento FT-A-1-2024 já está finalizado.");
    EXPECT_EQ(doc.call(u"Finalizar", std::int16_t{2024}, u"FT", u"A", std::int32_t{42}).toLong(),
              1);
    EXPECT_EQ(log(doc), "O documento FT-A-42-2024 não existe.");
}

TEST_F(DocumentsTest, ClonaCopiesTheHeaderAndBringsTheLinesAlong) {
    DocumentDraft s = simple();
    s.lines = {{u"A001", 10}, {u"C003", 10}};
    std::int32_t n = store(s);
    ObjectRef stored = load(u"FT", n, u"A", 2024);
    ObjectRef fresh = api.object(u"NewSalesDocument");
    fresh.call(u"AdicionaLinha", newLine(u"B002", 1));  // replaced by the copy
    stored.object(u"Cab").call(u"Clona", Variant(fresh.object(u"Cab")));
    ObjectRef cab = fresh.object(u"Cab");
    EXPECT_EQ(toUtf8(cab.get(u"TipoDocumento").toText()), "FT");
    EXPECT_EQ(toUtf8(cab.get(u"serie").toText()), "A");
    EXPECT_EQ(cab.get(u"NossoNoDocumento").toLong(), n);
    EXPECT_EQ(cab.get(u"ano").toLong(), 2024);
    EXPECT_EQ(toUtf8(cab.get(u"Entidade").toText()), "C1");
    EXPECT_DOUBLE_EQ(cab.get(u"Base1").toDouble() + cab.get(u"Base2").toDouble(), 150);
    ObjectRef lines = fresh.object(u"Linhas");
    ASSERT_EQ(lines.get(u"Count").toLong(), 2);
    EXPECT_EQ(toUtf8(lines.object(u"Item", 2).get(u"Artigo").toText()), "C003");
    // The copy is a copy: changing it leaves the source alone.
    lines.object(u"Item", 1).put(u"Quantidade", 1.0);
    EXPECT_DOUBLE_EQ(stored.object(u"Linhas", 1).get(u"Quantidade").toDouble(), 10);
}

TEST_F(DocumentsTest, ClonaWorksThroughAnotherBridgeAndOntoItself) {
    std::int32_t n = store(simple());
    ObjectRef stored = load(u"FT", n, u"A", 2024);
    ObjectRef fresh = api.object(u"NewSalesDocument");
    stored.object(u"Cab").call(u"Clona",
                               Variant(ObjectRef(makeObject<Forwarder>(fresh.object(u"Cab")))));
    EXPECT_EQ(fresh.object(u"Cab").get(u"NossoNoDocumento").toLong(), n);
    EXPECT_EQ(fresh.object(u"Linhas").get(u"Count").toLong(), 1);
    stored.object(u"Cab").call(u"Clona", Variant(stored.object(u"Cab")));
    EXPECT_EQ(stored.object(u"Linhas").get(u"Count").toLong(), 1)
        << "cloning onto itself keeps the lines";
    EXPECT_EQ(errorNumber([&] { stored.object(u"Cab").call(u"Clona", Variant()); }),
              vantrel::automation::errc::ObjectVariableNotSet);
}

TEST_F(DocumentsTest, LinhasCountRemoveAndBounds) {
    ObjectRef doc = api.object(u"NewSalesDocument");
    for (const char16_t* a : {u"A001", u"B002", u"C003"}) doc.call(u"AdicionaLinha", newLine(a, 1));
    ObjectRef lines = doc.object(u"Linhas");
    lines.call(u"Remove", std::int16_t{1});
    EXPECT_EQ(lines.get(u"Count").toLong(), 2);
    EXPECT_EQ(toUtf8(doc.object(u"Linhas", 1).get(u"Artigo").toText()), "B002");
    for (std::int32_t bad : {0, 3, -1}) {
        EXPECT_EQ(errorNumber([&] { lines.call(u"Remove", bad); }),
                  vantrel::automation::errc::SubscriptOutOfRange);
        EXPECT_EQ(errorNumber([&] { doc.get(u"Linhas", bad); }),
                  vantrel::automation::errc::SubscriptOutOfRange);
    }
    // A line taken from the collection is the document's own line.
    doc.object(u"Linhas", 2).put(u"Quantidade", 4.0);
    EXPECT_DOUBLE_EQ(doc.object(u"Linhas", 2).get(u"Quantidade").toDouble(), 4);
}

TEST_F(DocumentsTest, LinePropertiesConvertTheirValues) {
    vantrel::automation::ScopedLocale pt(vantrel::automation::Locale::portugal());
    ObjectRef line = api.object(u"NewDocumentLine");
    line.put(u"Quantidade", u"1,5");
    EXPECT_DOUBLE_EQ(line.get(u"Quantidade").toDouble(), 1.5);
    line.put(u"Descricao", Variant::null());
    EXPECT_EQ(toUtf8(line.get(u"Descricao").toText()), "");
    line.put(u"Orano", std::int32_t{2023});
    EXPECT_EQ(line.get(u"Orano").type(), vantrel::automation::VarType::Integer);
    EXPECT_EQ(errorNumber([&] { line.put(u"Quantidade", u"muito"); }),
              vantrel::automation::errc::TypeMismatch);
    EXPECT_EQ(errorNumber([&] { line.put(u"Orano", std::int32_t{70000}); }),
              vantrel::automation::errc::Overflow);
    EXPECT_EQ(errorNumber([&] { line.get(u"Inexistente"); }),
              vantrel::automation::errc::NotSupported);
    line.put(u"PrecoUnitario", 3.0);
    line.put(u"Quantidade", 2.0);
    line.put(u"Desconto", 10.0);
    line.put(u"TaxaDesconto", 50.0);
    EXPECT_DOUBLE_EQ(line.get(u"TotalLiquido").toDouble(), 2.7);
}

// Runs one of the operations a failure can be injected into on a loaded document.
std::int32_t runOperation(const Text& op, const ObjectRef& doc, std::int32_t number) {
    if (op == operation::Validar) return doc.call(u"Validar", std::int16_t{0}).toLong();
    if (op == operation::Inserir) {
        doc.object(u"Cab").put(u"NossoNoDocumento", std::int32_t{0});
        return doc.call(u"Inserir").toLong();
    }
    if (op == operation::Remover) return doc.call(u"Remover").toLong();
    return doc.call(u"Finalizar", std::int16_t{2024}, u"FT", u"A", number).toLong();
}

class InjectedFailures : public DocumentsTest,
                         public ::testing::WithParamInterface<const char16_t*> {};

TEST_P(InjectedFailures, FailOnceWithTheirMessage) {
    const Text op(GetParam());
    std::int32_t n = store(simple());
    injectFailure(kCatalog, op, u"Simulado: disco cheio");
    ObjectRef doc = load(u"FT", n, u"A", 2024);
    EXPECT_EQ(runOperation(op, doc, n), 1);
    EXPECT_EQ(log(doc), "Simulado: disco cheio");
    EXPECT_EQ(load(u"FT", n, u"A", 2024).object(u"Cab").get(u"NossoNoDocumento").toLong(), n)
        << "the failing operation changed nothing";
    EXPECT_EQ(runOperation(op, doc, n), 0) << log(doc);
    EXPECT_EQ(log(doc), "");
}

INSTANTIATE_TEST_SUITE_P(Operations, InjectedFailures,
                         ::testing::Values(operation::Validar, operation::Inserir,
                                           operation::Finalizar, operation::Remover),
                         [](const ::testing::TestParamInfo<const char16_t*>& i) {
                             return toUtf8(i.param);
                         });

TEST_F(DocumentsTest, SimularFalhaInjectsFromTheConnection) {
    api.call(u"SimularFalha", u"Inserir");
    ObjectRef doc = api.object(u"NewSalesDocument");
    header(doc, u"FT", u"A", 2024);
    doc.call(u"AdicionaLinha", lineOf(api, u"A001", 1, 1, 23));
    EXPECT_EQ(doc.call(u"Inserir").toLong(), 1);
    EXPECT_EQ(log(doc), "Falha simulada em Inserir.");
    EXPECT_EQ(doc.call(u"Inserir").toLong(), 0);
}

// The surcharge rewrite as the add-in drives it, against the stand-in ERP alone: clone,
// remove, rebuild from the stored rows, add a line, validate, insert, finalise.
TEST_F(DocumentsTest, RewriteOfAStoredDocumentThroughTheMembers) {
    DocumentDraft s = simple(u"FT", u"0");
    s.lines = {
        {u"A001", 10}, {u"C003", 10}, {u"B002", 1, std::nullopt, std::nullopt, u"", 1, true}};
    std::int32_t n = store(s);

    ObjectRef data = openDataAccess();
    Variant dataCell(data);
    api.call(u"SetDatabase", byRef(dataCell));
    Variant rsCell;
    data.call(u"OpenRecordset", Text(),
              u"SELECT * FROM [DOCGCLIN] WHERE NNUMDOC=1 ORDER BY ORDENACA", byRef(rsCell), true,
              std::int32_t{0});
    ObjectRef rs = rsCell.toObject();

    ObjectRef stored = load(u"FT", n, u"0", 2024);
    stored.put(u"Origem", std::int16_t{3});
    ObjectRef cab = stored.object(u"Cab");
    double bases = 0;
    for (const char16_t* b : {u"Base1", u"Base2", u"Base3", u"Base4"})
        bases += cab.get(b).toDouble();
    EXPECT_DOUBLE_EQ(bases, 150);
    ObjectRef fresh = api.object(u"NewSalesDocument");
    cab.call(u"Clona", Variant(fresh.object(u"Cab")));
    EXPECT_EQ(stored.call(u"Remover").toLong(), 0);
    while (fresh.object(u"Linhas").get(u"Count").toLong() > 0)
        fresh.object(u"Linhas").call(u"Remove", std::int16_t{1});
    fresh.call(u"CalculaTotaisCabecalho");
    fresh.object(u"Cab").put(u"NossoNoDocumento", std::int32_t{0});
    fresh.object(u"Cab").put(u"NumeroOriginal", std::int16_t{0});
    rs.call(u"MoveFirst");
    while (!rs.get(u"EOF").toBool()) {
        if (rs.get(u"", u"LINANU").toLong() != -1) {
            ObjectRef line = api.object(u"NewDocumentLine");
            line.put(u"TipoDeLinha", rs.get(u"", u"TPLINHA"));
            line.put(u"Artigo", rs.get(u"", u"ARTIGO"));
            line.put(u"Armazem", rs.get(u"", u"ARMAZEM"));
            fresh.call(u"SugereValoresLin", line, true, true, true, true, true, true, true);
            line.put(u"Quantidade", rs.get(u"", u"QUANT"));
            line.put(u"PrecoUnitario", rs.get(u"", u"PRUNIT"));
            line.put(u"DataMvStock", rs.get(u"", u"DATA"));
            line.put(u"Ordenacao", rs.get(u"", u"ORDENACA"));
            fresh.call(u"AdicionaLinha", line);
        }
        rs.call(u"MoveNext");
    }
    ObjectRef tax = api.object(u"NewDocumentLine");
    tax.put(u"TipoDeLinha", std::int32_t{1});
    tax.put(u"Artigo", u"TXE");
    fresh.call(u"SugereValoresLin", tax, true, true, true, true, true, true, true);
    tax.put(u"Quantidade", 1.0);
    tax.put(u"PrecoUnitario", 0.015 * bases);
    fresh.call(u"AdicionaLinha", tax);
    fresh.put(u"Origem", std::int16_t{3});
    ASSERT_EQ(fresh.call(u"Validar", std::int16_t{0}).toLong(), 0) << log(fresh);
    ASSERT_EQ(fresh.call(u"Inserir").toLong(), 0) << log(fresh);
    std::int32_t rewritten = fresh.object(u"Cab").get(u"NossoNoDocumento").toLong();
    EXPECT_EQ(rewritten, n + 1);
    ObjectRef fin = api.object(u"NewSalesDocument");
    ASSERT_EQ(fin.call(u"Finalizar", std::int16_t{2024}, u"FT", u"0", rewritten).toLong(), 0)
        << log(fin);
    ObjectRef lines = fin.object(u"Linhas");
    ASSERT_EQ(lines.get(u"Count").toLong(), 3);
    EXPECT_EQ(toUtf8(lines.object(u"Item", 3).get(u"Artigo").toText()), "TXE");
    EXPECT_DOUBLE_EQ(lines.object(u"Item", 3).get(u"PrecoUnitario").toDouble(), 2.25);
    EXPECT_DOUBLE_EQ(fin.object(u"Cab").get(u"Base1").toDouble(), 102.25);
    EXPECT_EQ(toUtf8(fin.object(u"Cab").get(u"Entidade").toText()), "C1");
}

}  // namespace
