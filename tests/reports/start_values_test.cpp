// Start values of the prompt rows: date keywords, placeholders, "@" references, SQL values
// through the caller's data-access object, and the parameter description file.
#include <gtest/gtest.h>

#include "reports/parameters/parameter_description_file.h"
#include "reports/parameters/placeholders.h"
#include "reports/report_test_support.h"

namespace vantrel::reports::testing {

using automation::ObjectRef;
using automation::Text;
using automation::Variant;

namespace {

using automation::Array;
using automation::RuntimeError;
using automation::T;
using engine::CrystalReportMain;
using Access = engine::CrystalReportMainTestAccess;

class StartValuesTest : public ::testing::Test {
protected:
    EngineHarness h;
    CrystalReportMain& m = *h.main;
};

TEST_F(StartValuesTest, DateKeywordsOnFixedDays) {
    struct Case {
        int year, month, day;
        const char* line;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {2026, 2, 10, "ULTIMODIAMES", "28-2-2026"},
        {2028, 2, 10, "ULTIMODIAMES", "29-2-2028"},  // leap year
        {2000, 2, 1, "ULTIMODIAMES", "29-2-2000"},
        {2100, 2, 1, "ULTIMODIAMES", "28-2-2100"},
        {2026, 4, 30, "ULTIMODIAMES", "30-4-2026"},
        {2026, 12, 1, "ULTIMODIAMES", "31-12-2026"},
        {2026, 1, 15, "ULTIMODIAMES", "31-1-2026"},
        {2026, 7, 14, "PRIMEIRODIAMES", "01-7-2026"},
        {2026, 7, 14, "  primeiroDiaMes  ", "01-7-2026"},
        {2026, 12, 31, "PRIMEIRODIAMES", "01-12-2026"},
        {2026, 7, 14, "PRIMEIRODIAANO", "01-01-2026"},
        {2026, 7, 14, "ultimodiaano", "31-12-2026"},
        {2028, 2, 29, "DATAHOJE", "29-02-2028"},
        {2026, 7, 14, "15-03-2025", "15-03-2025"},
        {2026, 7, 14, " 15-03-2025 ", " 15-03-2025 "},
        {2026, 7, 14, "", "14-07-2026"},
        {2026, 7, 14, "   ", "14-07-2026"},
    };
    for (const auto& c : cases) {
        h.platform.setToday(c.year, c.month, c.day);
        EXPECT_EQ(Access::pSubstituiDatas(m, T(c.line)), T(c.expected)) << c.line << " " << c.year;
    }
    h.platform.setToday(2026, 7, 14, 9, 5, 7);
    EXPECT_EQ(Access::pSubstituiDatas(m, u"DATAHOJE"), u"14-07-2026 09:05:07");
}

TEST_F(StartValuesTest, FunctionText) {
    struct Case {
        const char* line;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"fn{=Lisboa}", "=Lisboa"},
        {"FN{AnoCorrente}", "AnoCorrente"},
        {"antes fn{a}b} depois", "a"},
        {"}fn{x}", "x"},
        {"fn{}", ""},
        {"fn{sem fim", ""},
        {"sem marca", ""},
        {"", ""},
        {"fn{SELECT x FROM t} fl[lista]", "SELECT x FROM t"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Access::pTextoFuncao(m, T(c.line)), T(c.expected)) << c.line;
}

TEST_F(StartValuesTest, ListText) {
    struct Case {
        const char* line;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"fl[SELECT Serie FROM Series]", "SELECT Serie FROM Series"},
        {"FL[ a ]  ", "a "},
        {"fn{=1} fl[L]", "L"},
        {"fl[L] resto", "L] rest"},
        {"fl[", ""},
        {"fl[   ", ""},
        {"fl[]", ""},
        {"nada", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Access::pTextoLista(m, T(c.line)), T(c.expected)) << c.line;
}

TEST_F(StartValuesTest, DefaultValuesWithoutQueries) {
    h.platform.setToday(2026, 7, 4);
    struct Case {
        const char* line;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"Lisboa", "Lisboa"},
        {"  valor literal ", "  valor literal "},
        {"fn{=Lisboa}", "Lisboa"},
        {"fn{=}", ""},
        {"fn{ANOCORRENTE}", "2026"},
        {"fn{MESCORRENTE}", "7"},
        {"fn{DIACORRENTE}", "4"},
        {"fl[SELECT 1]", ""},
        {"fn{   }", ""},
        {"fn{=A} fl[lista]", "A"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Access::pValorPorDefeito(m, T(c.line)), T(c.expected)) << c.line;
}

TEST_F(StartValuesTest, QueriesGoThroughTheCallersDataAccess) {
    auto bd = std::make_shared<FakeDataAccess>();
    bd->answers[u"SELECT Max(Ano) FROM Exercicios"] = Variant(std::int32_t{2025});
    bd->answers[u"anocorrente"] = Variant(u"da base");
    bd->answers[u"SELECT Nulo"] = Variant::null();
    bd->answers[u"SELECT Nada"] = Variant();
    m.in_bd(ObjectRef(bd));

    EXPECT_EQ(Access::pValorPorDefeito(m, u"fn{SELECT Max(Ano) FROM Exercicios}"), u"2025");
    ASSERT_EQ(bd->calls.size(), 1u);
    const auto& args = bd->calls[0];
    ASSERT_EQ(args.size(), 5u);
    EXPECT_EQ(args[0].toText(), u"");
    EXPECT_EQ(args[1].toText(), u"SELECT Max(Ano) FROM Exercicios");
    EXPECT_EQ(args[3].toBool(), true);
    EXPECT_EQ(args[4].toLong(), 0);
    EXPECT_EQ(bd->closed, 1);

    // A keyword is matched exactly: in lower case it is a query.
    EXPECT_EQ(Access::pValorPorDefeito(m, u"fn{anocorrente}"), u"da base");
    EXPECT_EQ(Access::pValorPorDefeito(m, u"fn{SELECT Nulo}"), u"");

    try {
        Access::pValorPorDefeito(m, u"fn{SELECT Nada}");
        FAIL() << "a query without rows must fail";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 3021);
    }
    EXPECT_THROW(Access::pValorPorDefeito(m, u"fn{SELEC mal escrito}"), RuntimeError);
}

TEST_F(StartValuesTest, QueryWithoutDataAccessObjectFails) {
    try {
        Access::pValorPorDefeito(m, u"fn{SELECT 1}");
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), automation::errc::ObjectVariableNotSet);
    }
}

// A prompt window with a text row, a drop-down row and a date row.
class SubstituiTest : public StartValuesTest {
protected:
    void SetUp() override {
        window->add(u"txtCampo", 1, u"Text", Variant(u"Lisboa"));
        window->add(u"Combo", 2, u"Text", Variant(u"Porto"));
        window->add(u"dtCampo", 3, u"Value", Variant::date(automation::makeDate(2026, 3, 5)));
        window->add(u"txtCampo", 4, u"Text", Variant(u"ana@exemplo.pt"));
        window->add(u"txtCampo", 5, u"Text", Variant(u"@05X0000"));
        m.JanelaParametros(ObjectRef(window));
        Access::m_TiposCampo(m) = Array::ofTexts({u"", u"T", u"C", u"D", u"T", u"T"});
    }
    std::shared_ptr<FakeWindow> window = std::make_shared<FakeWindow>();
};

TEST_F(SubstituiTest, ReplacesReferencesByRowValues) {
    struct Case {
        const char* expression;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"@01L0300", "Lis"},
        {"@01R0300", "boa"},
        {"@01M0203", "isb"},
        {"@01M0599", "oa"},
        {"@01L9900", "Lisboa"},
        {"@02X0000", "Porto"},
        {"@02l0200", "Porto"},  // function letters are case-sensitive
        {"@03Z0000", "05-03-2026"},
        {"@03R0400", "2026"},
        {"Cidade: @01L0300, @02L0100.", "Cidade: Lis, P."},
        {"sem referencias", "sem referencias"},
        {"SELECT x FROM t WHERE d >= '@03R0400-01-01'", "SELECT x FROM t WHERE d >= '2026-01-01'"},
        {"@01L03", "Lis"},  // a short reference at the end
        {"@04X0000", "ana@exemplo.pt"},
        {"@05X0000!", "@05X0000!"},  // a value that refers to its own row ends
    };
    for (const auto& c : cases)
        EXPECT_EQ(m.Substitui(T(c.expression)), T(c.expected)) << c.expression;
}

TEST_F(SubstituiTest, BadReferencesRaiseErrors) {
    struct Case {
        const char* expression;
        std::int32_t error;
    };
    const std::vector<Case> cases = {
        {"@0aL0300", automation::errc::TypeMismatch},
        {"@01Lxx00", automation::errc::TypeMismatch},
        {"@01M03yy", automation::errc::TypeMismatch},
        {"@", automation::errc::TypeMismatch},
        {"@07L0100", automation::errc::SubscriptOutOfRange},   // past the rows
        {"@00L0100", 340},                                     // row 0 has no control
        {"@01M0003", automation::errc::InvalidProcedureCall},  // start 0
        {"@01L-100", automation::errc::InvalidProcedureCall},  // negative length
    };
    for (const auto& c : cases) {
        try {
            m.Substitui(T(c.expression));
            ADD_FAILURE() << c.expression << ": no error";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), c.error) << c.expression;
        }
    }
}

TEST_F(SubstituiTest, StartValuesHoldWhatATextBoxHolds) {
    auto repeat = [](const std::string& piece, std::size_t times) {
        std::string out;
        for (std::size_t i = 0; i < times; ++i) out += piece;
        return out;
    };
    struct Case {
        const char* name;
        std::string line;
        std::size_t length;  // 0: refused with error 14
    };
    // Row 1 holds "Lisboa", six characters.
    const std::vector<Case> cases = {
        {"literal at the bound", std::string(65535, 'A'), 65535},
        {"literal past it", std::string(65536, 'A'), 0},
        {"value at the bound", "fn{=" + std::string(65535, 'A') + "}", 65535},
        {"value past it", "fn{=" + std::string(65536, 'A') + "}", 0},
        {"references up to it", "fn{=" + repeat("@01X0000", 10922) + "}", 65532},
        {"references past it", "fn{=" + repeat("@01X0000", 10923) + "}", 0},
    };
    for (const auto& c : cases) {
        std::size_t got = 0;
        try {
            got = Access::pValorPorDefeito(m, automation::fromUtf8(c.line)).size();
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), parameters::kOutOfStringSpace) << c.name;
        }
        EXPECT_EQ(got, c.length) << c.name;
    }
}

TEST_F(SubstituiTest, PlaceholdersReadOtherRows) {
    auto bd = std::make_shared<FakeDataAccess>();
    bd->answers[u"SELECT Nome FROM Cidades WHERE Codigo = 'Lis'"] =
        Variant(u"Lisboa e Vale do Tejo");
    m.in_bd(ObjectRef(bd));
    EXPECT_EQ(Access::pValorPorDefeito(m, u"fn{=@02L0300}"), u"Por");
    EXPECT_EQ(
        Access::pValorPorDefeito(m, u"fn{SELECT Nome FROM Cidades WHERE Codigo = '@01L0300'}"),
        u"Lisboa e Vale do Tejo");
}

TEST_F(StartValuesTest, SubstituiWithoutWindowFailsOnlyWhenThereIsAReference) {
    EXPECT_EQ(m.Substitui(u"texto"), u"texto");
    EXPECT_THROW(m.Substitui(u"@01L0100"), RuntimeError);
}

class DescriptionFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    platform::posix::PosixPlatform platform;
};

TEST_F(DescriptionFileTest, ReadsCrLfLfAndWindows1252) {
    using parameters::ParameterDescriptionFile;
    struct Case {
        std::string bytes;
        std::vector<Text> lines;
    };
    const std::vector<Case> cases = {
        {"PRIMEIRODIAMES\r\nfn{=Liga\xe7\xe3o}\r\n", {u"PRIMEIRODIAMES", T("fn{=Ligação}")}},
        {"a\nb\n\nd", {u"a", u"b", u"", u"d"}},
        {"S\xe9rie\r\n\x80", {T("Série"), T("€")}},
    };
    for (const auto& c : cases) {
        auto file = ParameterDescriptionFile::open(platform, folder.write("Mapa.txt", c.bytes));
        ASSERT_TRUE(file.isOpen());
        for (const auto& line : c.lines) EXPECT_EQ(file.nextLine(), line);
        try {
            file.nextLine();
            ADD_FAILURE() << "read past the end";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), automation::errc::InputPastEndOfFile);
        }
    }
}

TEST_F(DescriptionFileTest, FewerLinesThanRowsFailsAtTheFirstMissingRow) {
    auto file = parameters::ParameterDescriptionFile::open(
        platform, folder.write("Mapa.txt", "ULTIMODIAMES\r\n"));
    EXPECT_EQ(file.nextLine(), u"ULTIMODIAMES");
    EXPECT_THROW(file.nextLine(), RuntimeError);
}

TEST_F(DescriptionFileTest, NoFileGivesEmptyLines) {
    parameters::ParameterDescriptionFile none =
        parameters::ParameterDescriptionFile::open(platform, u"");
    EXPECT_FALSE(none.isOpen());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(none.nextLine(), u"");
    EXPECT_THROW(
        parameters::ParameterDescriptionFile::open(platform, folder.file("nao_existe.txt")),
        RuntimeError);
}

}  // namespace
}  // namespace vantrel::reports::testing
