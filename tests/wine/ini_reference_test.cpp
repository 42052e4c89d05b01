// Our profile engine against kernel32's recorded answers (ini_cases.expected, written by the
// Wine run of the differential test), one test per case, without needing Wine; where kernel32
// loses data on purpose-marked cases, against our own (ini_cases_engine.expected).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ini_cases.h"
#include "platform/posix/profile_engine.h"

namespace {

using namespace vantrel::tests::inicases;

struct Loaded {
    std::vector<Case> cases;
    std::string error;
    std::string expected;
    std::string ours;
};

const Loaded& loaded() {
    static const Loaded data = [] {
        Loaded d;
        std::ifstream in(VANTREL_INI_CASES, std::ios::binary);
        if (!in) {
            d.error = "cannot open " VANTREL_INI_CASES;
        } else if (!parseCases(in, d.cases, d.error)) {
            d.cases.clear();
        }
        std::ifstream e(VANTREL_INI_EXPECTED, std::ios::binary);
        d.expected.assign(std::istreambuf_iterator<char>(e), std::istreambuf_iterator<char>());
        std::ifstream o(
            std::filesystem::path(VANTREL_INI_EXPECTED).parent_path() / "ini_cases_engine.expected",
            std::ios::binary);
        d.ours.assign(std::istreambuf_iterator<char>(o), std::istreambuf_iterator<char>());
        return d;
    }();
    return data;
}

class Engine : public Backend {
public:
    std::uint32_t getString(const char* section, const char* key, const char* def, char* buffer,
                            std::uint32_t size, const char* file) override {
        return engine_.getString(section, key, def, buffer, size, file);
    }
    std::int32_t writeString(const char* section, const char* key, const char* text,
                             const char* file) override {
        return engine_.writeString(section, key, text, file);
    }

private:
    vantrel::platform::posix::ProfileEngine engine_;
};

TEST(IniReferenceFiles, CasesParseAndEachHasARecordedAnswer) {
    ASSERT_EQ(loaded().error, "");
    EXPECT_GE(loaded().cases.size(), 40u);
    ASSERT_EQ(loaded().expected.rfind("codepage 1252\n", 0), 0u);
    for (const auto& c : loaded().cases) {
        EXPECT_NE(caseBlock(loaded().expected, c.name), "") << c.name << " has no recorded answer";
        EXPECT_EQ(caseBlock(loaded().ours, c.name) != "", c.differsOnPurpose)
            << c.name << ": an answer of ours goes with differs-on-purpose, and only with it";
    }
}

class IniReference : public ::testing::TestWithParam<Case> {};

TEST_P(IniReference, EngineAnswersAsKernel32) {
    const Case& c = GetParam();
    std::string host = ::testing::TempDir() + "vantrel_ini_reference_" + c.name;
    std::string windows = "Z:" + host;
    for (auto& ch : windows) {
        if (ch == '/') ch = '\\';
    }
    Engine engine;
    std::string error;
    std::string report = runCases({c}, engine, Workspace{host, windows}, error);
    ASSERT_EQ(error, "");
    const std::string& answers = c.differsOnPurpose ? loaded().ours : loaded().expected;
    EXPECT_EQ(report, caseBlock(answers, c.name)) << "case at line " << c.line;
    if (c.differsOnPurpose) {
        EXPECT_NE(report, caseBlock(loaded().expected, c.name));
    }
    std::error_code ec;
    std::filesystem::remove_all(host, ec);
}
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(IniReference);

INSTANTIATE_TEST_SUITE_P(Cases, IniReference, ::testing::ValuesIn(loaded().cases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return info.param.name;
                         });

}  // namespace
