#include <gtest/gtest.h>

#include "automation/text.h"

using namespace vantrel::automation;

TEST(Text, Utf8RoundTripKeepsAccentsAndAstralCharacters) {
    for (const char* s : {"", "Ligação", "Taxa Energética", "ação €", "\xF0\x9F\x98\x80 x"}) {
        EXPECT_EQ(toUtf8(fromUtf8(s)), s) << s;
    }
    EXPECT_EQ(fromUtf8("Ligação").size(), 7u);
    EXPECT_EQ(fromUtf8("\xF0\x9F\x98\x80").size(), 2u);  // one astral character, two units
}

// Runs of ASCII go a word of four units at a time: a letter past ASCII at any place of a
// word, and a pair across two words, must come out as if unit by unit.
TEST(Text, Utf8OfEveryPlaceInAWord) {
    const std::string ascii = "abcdefghijk";
    for (std::size_t at = 0; at < ascii.size(); ++at) {
        for (auto [unit, utf8] : {std::pair<char16_t, const char*>{0x80, "\xC2\x80"},
                                  {0xE7, "\xC3\xA7"},
                                  {0x7F, "\x7F"}}) {
            Text t = fromUtf8(ascii);
            t[at] = unit;
            EXPECT_EQ(toUtf8(t), ascii.substr(0, at) + utf8 + ascii.substr(at + 1)) << at;
        }
        Text pair = fromUtf8(ascii);
        pair.replace(at, 1, u"\U0001F600");
        EXPECT_EQ(toUtf8(pair), ascii.substr(0, at) + "\xF0\x9F\x98\x80" + ascii.substr(at + 1));
    }
}

TEST(Text, InvalidUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(fromUtf8("a\xC3"), Text(u"a\uFFFD"));
    EXPECT_EQ(fromUtf8("\xC0\x80"), Text(u"\uFFFD\uFFFD"));            // overlong NUL
    EXPECT_EQ(fromUtf8("\xED\xA0\x80"), Text(u"\uFFFD\uFFFD\uFFFD"));  // encoded surrogate
    // Lone surrogates of a UTF-16 text: a trailing high one, a low one, a high one before
    // another high one that does begin a pair.
    Text lone{u'a', char16_t(0xD800)};
    EXPECT_EQ(toUtf8(lone), "a\xEF\xBF\xBD");
    Text mixed{char16_t(0xDC00), u'x', char16_t(0xD83D), char16_t(0xD83D), char16_t(0xDE00)};
    EXPECT_EQ(toUtf8(mixed), "\xEF\xBF\xBDx\xEF\xBF\xBD\xF0\x9F\x98\x80");
}

TEST(Text, Cp1252LinesSplitAtLineFeeds) {
    const std::pair<std::string, std::vector<Text>> cases[] = {
        {"", {}},
        {"a\r\nb", {u"a", u"b"}},
        {"a\n", {u"a"}},
        {"\n\nx\r", {u"", u"", u"x"}},
        {"a\rb\n\xE7\r\n", {u"a\rb", u"\u00E7"}},
    };
    for (const auto& [bytes, lines] : cases) EXPECT_EQ(cp1252Lines(bytes), lines) << bytes;
}

TEST(Text, Cp1252MapsEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    Text wide = fromCp1252(all);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ(wide[0x80], 0x20AC);
    EXPECT_EQ(wide[0xE7], u'ç');
    EXPECT_EQ(toCp1252(wide), all);  // every byte survives a round trip
    EXPECT_EQ(toCp1252(u"Ligação"), std::string("Liga\xE7\xE3o"));
    EXPECT_EQ(toCp1252(u"\u4E2D\U0001F600"), "??");
}

struct StringCase {
    const char* name;
    Text got;
    Text want;
};

TEST(Text, StringFunctionsCountUtf16Units) {
    const StringCase cases[] = {
        {"ucase", ucase(u"ação é"), u"AÇÃO É"},
        {"lcase", lcase(u"AÇÃO É"), u"ação é"},
        {"trim", trim(u"  a b  "), u"a b"},
        {"trim keeps tabs", trim(u"\ta\t"), u"\ta\t"},
        {"ltrim", ltrim(u"  x "), u"x "},
        {"rtrim", rtrim(u"  x "), u"  x"},
        {"left", left(u"abc", 2), u"ab"},
        {"left past end", left(u"abc", 9), u"abc"},
        {"right", right(u"abc", 2), u"bc"},
        {"mid", mid(u"abcdef", 2, 3), u"bcd"},
        {"mid to end", mid(u"abcdef", 5), u"ef"},
        {"mid past end", mid(u"abc", 4, 1), u""},
        {"replace", replaceAll(u"1,5,0", u",", u"."), u"1.5.0"},
        {"replace nothing", replaceAll(u"abc", u"", u"x"), u"abc"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(Text, InstrIsOneBasedAndBinary) {
    EXPECT_EQ(instr(u";FT,A;FR,A;", u";FR,A;"), 6u);
    EXPECT_EQ(instr(u";FT,A;", u";ft,A;"), 0u);
    EXPECT_EQ(instr(3, u"abab", u"ab"), 3u);
    EXPECT_EQ(instr(u"abc", u""), 1u);
    EXPECT_EQ(instr(9, u"abc", u"a"), 0u);
    EXPECT_TRUE(equalsIgnoreCase(u"NossoNoDocumento", u"NOSSONODOCUMENTO"));
    EXPECT_FALSE(equalsIgnoreCase(u"Cab", u"Ca"));
}
