#include "settings/cinifile.h"

#include <gtest/gtest.h>

#include "automation/locale.h"
#include "platform/posix/profile_engine.h"
#include "settings/settings_fakes.h"

namespace vantrel::tests::settings {

using automation::Text;

namespace {

using automation::Locale;
using automation::ScopedLocale;
using automation::T;
using vantrel::settings::cInifile;

// cInifile over the real engine and a file of a temporary folder.
class CInifileTest : public ::testing::Test {
protected:
    CInifileTest() : ini(engine) { ini.setPath(folder.windowsPath("VANTREL.DEMO")); }
    void file(const std::string& bytes) { folder.write("VANTREL.DEMO", bytes); }
    std::string file() const { return folder.read("VANTREL.DEMO"); }

    TempFolder folder;
    platform::posix::ProfileEngine engine;
    cInifile ini;
};

TEST_F(CInifileTest, NewObjectIsEmptyAndReadsNeverSucceed) {
    cInifile fresh(engine);
    EXPECT_EQ(fresh.LastReturnCode(), 0);
    EXPECT_FALSE(fresh.Success());
    EXPECT_EQ(fresh.Path(), u"");
    EXPECT_EQ(fresh.Key(), u"");
    EXPECT_EQ(fresh.Section(), u"");
    EXPECT_EQ(fresh.Default(), u"");
    file("[s]\r\nk=v\r\n");
    ini.setSection(u"s");
    ini.setKey(u"k");
    EXPECT_EQ(ini.Value(), u"v");
    EXPECT_FALSE(ini.INISection().empty());
    EXPECT_FALSE(ini.Sections().empty());
    EXPECT_FALSE(ini.Success());
}

TEST_F(CInifileTest, ReadsTheSettingsOfACompany) {
    file("[Api Next]\r\nLogin=admin\r\n[Liga\xE7\xE3o]\r\nServidor=SRV01\\SAGE\r\n");
    ini.setSection(T("Ligação"));
    ini.setKey(u"Servidor");
    EXPECT_EQ(ini.Value(), u"SRV01\\SAGE");
    ini.setSection(u"api next");
    ini.setKey(u"LOGIN");
    EXPECT_EQ(ini.Value(), u"admin");
}

TEST_F(CInifileTest, MissingKeySectionOrFileGivesDefault) {
    file("[s]\r\nk=v\r\n");
    ini.setSection(u"s");
    ini.setKey(u"other");
    EXPECT_EQ(ini.Value(), u"");
    ini.setDefault(u"fallback");
    EXPECT_EQ(ini.Value(), u"fallback");
    ini.setSection(u"nope");
    ini.setKey(u"k");
    EXPECT_EQ(ini.Value(), u"fallback");
    ini.setPath(folder.windowsPath("missing.ini"));
    EXPECT_EQ(ini.Value(), u"fallback");
    ini.setPath(folder.windowsPath("no\\such\\folder.ini"));
    EXPECT_EQ(ini.Value(), u"fallback");
}

TEST_F(CInifileTest, LongValueComesBackCutTo254Characters) {
    Text value;
    for (int i = 0; i < 300; ++i) value += static_cast<char16_t>(u'a' + i % 26);
    ini.setSection(u"s");
    ini.setKey(u"k");
    ini.setValue(value);
    ASSERT_TRUE(ini.Success());
    EXPECT_EQ(ini.Value(), value.substr(0, 254));
}

TEST_F(CInifileTest, WritingDropsNulCharacters) {
    ini.setSection(u"s");
    ini.setKey(u"k");
    ini.setValue(Text(u"a\0b\0\0c", 6));
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(ini.Value(), u"abc");
    EXPECT_EQ(file(), "[s]\r\nk=abc\r\n");
}

TEST_F(CInifileTest, WritesInWindows1252) {
    ini.setSection(T("Ligação"));
    ini.setKey(u"Empresa");
    ini.setValue(T("Açores €"));
    EXPECT_EQ(file(), "[Liga\xE7\xE3o]\r\nEmpresa=A\xE7ores \x80\r\n");
    EXPECT_EQ(ini.Value(), T("Açores €"));
}

TEST_F(CInifileTest, INISectionListsKeyNamesEachEndedByNul) {
    file("[Liga\xE7\xE3o]\r\nServidor=a\r\nEmpresa=b\r\n");
    ini.setSection(T("Ligação"));
    EXPECT_EQ(ini.INISection(), Text(u"Servidor\0Empresa\0", 17));
    automation::Array names;
    std::int32_t count = -1;
    ini.EnumerateCurrentSection(names, count);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(names.lbound(), 1);
    EXPECT_EQ(names.ubound(), 2);
    EXPECT_EQ(names.at(1).text(), u"Servidor");
    EXPECT_EQ(names.at(2).text(), u"Empresa");
}

TEST_F(CInifileTest, EnumerationsOfNothingGiveAnEmptyArray) {
    file("k=1\r\n");
    automation::Array names = automation::Array::ofTexts({u"stale"}, 1);
    std::int32_t count = -1;
    ini.EnumerateAllSections(names, count);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
    ini.setSection(u"s");
    ini.setDefault(u"not a list");  // the platform answers an empty section with the default
    names = automation::Array::ofTexts({u"stale"}, 1);
    ini.EnumerateCurrentSection(names, count);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
}

TEST_F(CInifileTest, SectionsListsAllSections) {
    file("[Api Next]\r\n[Liga\xE7\xE3o]\r\n[Documentos com taxa]\r\n");
    automation::Array names;
    std::int32_t count = 0;
    ini.EnumerateAllSections(names, count);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(names.at(1).text(), u"Api Next");
    EXPECT_EQ(names.at(2).text(), T("Ligação"));
    EXPECT_EQ(names.at(3).text(), u"Documentos com taxa");
}

TEST_F(CInifileTest, DeleteKeyAndDeleteSection) {
    file("[a]\r\nx=1\r\ny=2\r\n[b]\r\nz=3\r\n");
    ini.setSection(u"a");
    ini.setKey(u"x");
    ini.setDefault(u"gone");
    ini.DeleteKey();
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(ini.Value(), u"gone");
    ini.setSection(u"b");
    ini.DeleteSection();
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(file(), "[a]\r\ny=2\r\n");
    ini.setSection(u"a");
    ini.setINISection(u"ignored");
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(file(), "");
}

TEST_F(CInifileTest, FailedWriteIsReportedOnlyThroughSuccess) {
    ini.setPath(folder.windowsPath("no\\such\\folder.ini"));
    ini.setSection(u"s");
    ini.setKey(u"k");
    ini.setValue(u"v");
    EXPECT_EQ(ini.LastReturnCode(), 0);
    EXPECT_FALSE(ini.Success());
    ini.setPath(folder.windowsPath("ok.ini"));
    ini.setValue(u"v");
    EXPECT_TRUE(ini.Success());
    ini.setPath(folder.windowsPath("no\\such\\folder.ini"));
    ini.DeleteKey();
    EXPECT_FALSE(ini.Success());
}

// Texts that would rewrite other keys of the file are refused, and the file stays as it was.
struct RefusedWrite {
    const char* what;
    Text section, key, value;
};

class CInifileRefusedWrite : public CInifileTest,
                             public ::testing::WithParamInterface<RefusedWrite> {};

TEST_P(CInifileRefusedWrite, LeavesTheFileAlone) {
    const std::string before = "[s]\r\nk=1\r\nlast=2\r\n";
    file(before);
    ini.setSection(GetParam().section);
    ini.setKey(GetParam().key);
    ini.setValue(u"1");  // a successful write first, so the refusal must clear it
    ini.setValue(GetParam().value);
    EXPECT_FALSE(ini.Success());
    EXPECT_EQ(file(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CInifileRefusedWrite,
    ::testing::Values(RefusedWrite{"value_with_crlf", u"s", u"k", u"x\r\n[t]\r\nlast=9"},
                      RefusedWrite{"value_with_lf", u"s", u"k", u"x\nlast=9"},
                      RefusedWrite{"value_with_cr", u"s", u"k", u"x\rlast=9"},
                      RefusedWrite{"key_with_line_break", u"s", u"k\nlast", u"9"},
                      RefusedWrite{"section_with_line_break", u"s]\r\n[t", u"k", u"9"},
                      RefusedWrite{"key_like_a_header", u"s", u" [t]", u"9"},
                      RefusedWrite{"key_with_equals", u"s", u"x=y", u"z"},
                      RefusedWrite{"nul_in_key", u"s", Text(u"k\0x", 3), u"9"},
                      RefusedWrite{"nul_in_section", Text(u"s\0t", 3), u"k", u"9"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(CInifileTest, NamesWithBracketsEqualsAndSemicolonsStayTheirOwn) {
    file("[a]\r\nk=1\r\n");
    ini.setSection(u"x]y");
    ini.setKey(u"k;");
    ini.setValue(u"v=w");
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(ini.Value(), u"v=w");
    EXPECT_EQ(file(), "[a]\r\nk=1\r\n[x]y]\r\nk;=v=w\r\n");
}

TEST_F(CInifileTest, NulInNamesReadsAsMissing) {
    file("[s]\r\nk=v\r\n");
    ini.setSection(u"s");
    ini.setKey(Text(u"k\0junk", 6));
    ini.setDefault(u"d");
    EXPECT_EQ(ini.Value(), u"d");
    ini.DeleteKey();
    EXPECT_FALSE(ini.Success());
    EXPECT_EQ(file(), "[s]\r\nk=v\r\n");
}

// What crosses the port: buffer sizes, null names, the path as given.
TEST(CInifileCalls, UsesThePlatformFunctionsAsWindowsDoes) {
    RecordingProfile profile;
    cInifile ini(profile);
    ini.setPath(T("C:\\dados\\talmek\\VANTREL.DEMO"));
    ini.setSection(T("Ligação"));
    ini.setKey(u"Servidor");
    profile.answer = "SRV";
    profile.count = 3;
    EXPECT_EQ(ini.Value(), u"SRV");
    ini.INISection();
    ini.Sections();
    ini.setValue(u"x");
    ini.DeleteKey();
    ini.DeleteSection();
    ini.setINISection(u"t");
    ASSERT_EQ(profile.calls.size(), 7u);
    const auto& value = profile.calls[0];
    EXPECT_EQ(value.section, "Liga\xE7\xE3o");
    EXPECT_EQ(value.key, "Servidor");
    EXPECT_EQ(value.size, 255u);
    EXPECT_EQ(value.buffer, std::string(255, ' '));
    EXPECT_EQ(value.file, "C:\\dados\\talmek\\VANTREL.DEMO");
    EXPECT_EQ(profile.calls[1].key, std::nullopt);
    EXPECT_EQ(profile.calls[1].size, 8192u);
    EXPECT_EQ(profile.calls[2].section, std::nullopt);
    EXPECT_EQ(profile.calls[2].key, std::nullopt);
    EXPECT_EQ(profile.calls[2].size, 8192u);
    EXPECT_EQ(profile.calls[3].text, "x");
    EXPECT_EQ(profile.calls[4].text, std::nullopt);
    EXPECT_EQ(profile.calls[4].key, "Servidor");
    EXPECT_EQ(profile.calls[5].key, std::nullopt);
    EXPECT_EQ(profile.calls[5].text, std::nullopt);
    EXPECT_EQ(profile.calls[6].key, std::nullopt);
    EXPECT_EQ(profile.calls[6].text, "t");
}

TEST(CInifileCalls, TakesOnlyTheCountedCharactersAndKeepsTheReturnCode) {
    RecordingProfile profile;
    cInifile ini(profile);
    profile.answer = std::string("a\0\0b\0c", 6);
    profile.count = 5;
    automation::Array names;
    std::int32_t count = 0;
    ini.EnumerateAllSections(names, count);  // the empty name is skipped, "c" is after the last NUL
    ASSERT_EQ(count, 2);
    EXPECT_EQ(names.at(1).text(), u"a");
    EXPECT_EQ(names.at(2).text(), u"b");
    ini.EnumerateCurrentSection(names, count);  // here the empty name counts
    ASSERT_EQ(count, 3);
    EXPECT_EQ(names.at(2).text(), u"");
    profile.count = 100000;  // a platform that claims more than the buffer holds
    EXPECT_EQ(ini.Value().size(), 255u);
    profile.writeResult = 7;
    ini.setValue(u"v");
    EXPECT_EQ(ini.LastReturnCode(), 7);
    EXPECT_TRUE(ini.Success());
}

// Profile functions of a system whose ANSI code page is not Windows-1252: omega has a byte of
// its own (0xF9, as in Greek 1253), and U+2264 has '=' as its best fit.
class GreekProfile : public RecordingProfile {
public:
    std::string toAnsi(automation::TextView text) override {
        std::string out;
        for (char16_t c : text)
            out += c == u'\u03C9' ? '\xF9' : c == u'\u2264' ? '=' : static_cast<char>(c);
        return out;
    }
    Text fromAnsi(std::string_view bytes) override {
        Text out;
        for (char b : bytes)
            out += b == '\xF9' ? u'\u03C9' : static_cast<char16_t>(static_cast<unsigned char>(b));
        return out;
    }
};

TEST(CInifileCalls, TextsCrossInTheCodePageOfTheProfileFunctions) {
    GreekProfile profile;
    cInifile ini(profile);
    ini.setPath(u"C:\\\u03C9.ini");
    ini.setSection(u"\u03C9");
    ini.setKey(u"k");
    profile.answer = "\xF9\xF9";
    profile.count = 2;
    EXPECT_EQ(ini.Value(), u"\u03C9\u03C9");
    ini.setValue(u"\u03C9");
    ASSERT_EQ(profile.calls.size(), 2u);
    EXPECT_EQ(profile.calls[0].section, "\xF9");
    EXPECT_EQ(profile.calls[0].file, "C:\\\xF9.ini");
    EXPECT_EQ(profile.calls[1].text, "\xF9");
    ini.setKey(u"a\u2264b");  // reaches the file as "a=b"
    ini.setValue(u"v");
    EXPECT_FALSE(ini.Success());
    EXPECT_EQ(profile.calls.size(), 2u);
}

struct Conversion {
    const char* text;
    std::int32_t fallback;
    std::int32_t expected;
};

class CLngDefaultPortugal : public ::testing::TestWithParam<Conversion> {};

TEST_P(CLngDefaultPortugal, ConvertsOrFallsBack) {
    ScopedLocale portugal(Locale::portugal());
    EXPECT_EQ(cInifile::CLngDefault(T(GetParam().text), GetParam().fallback), GetParam().expected)
        << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, CLngDefaultPortugal,
                         ::testing::Values(Conversion{"12", 5, 12}, Conversion{"abc", 5, 5},
                                           Conversion{"", 7, 7}, Conversion{"12345678901", 1, 1},
                                           Conversion{"-2147483648", 0, -2147483647 - 1},
                                           Conversion{"2147483648", 3, 3},
                                           Conversion{" 42 ", 0, 42}, Conversion{"2,5", 0, 2},
                                           Conversion{"3,5", 0, 4}, Conversion{"-2,5", 0, -2},
                                           Conversion{"1.234", 0, 1234},
                                           Conversion{"1,234.5", 9, 9}, Conversion{"FAIL", 0, 0},
                                           Conversion{"12abc", 8, 8}));

TEST(CLngDefault, FollowsTheLocaleAndDefaultsToZero) {
    ScopedLocale us(Locale::unitedStates());
    EXPECT_EQ(cInifile::CLngDefault(u"2.5"), 2);
    EXPECT_EQ(cInifile::CLngDefault(u"1,234"), 1234);
    EXPECT_EQ(cInifile::CLngDefault(u"x"), 0);
}

}  // namespace
}  // namespace vantrel::tests::settings
