#include <gtest/gtest.h>

#include "automation/datetime.h"
#include "automation/runtime_error.h"

using namespace vantrel::automation;

TEST(DateTime, SerialNumbersMatchTheRuntime) {
    EXPECT_DOUBLE_EQ(makeDate(1899, 12, 30), 0);
    EXPECT_DOUBLE_EQ(makeDate(1900, 1, 1), 2);
    EXPECT_DOUBLE_EQ(makeDate(2026, 1, 1), 46023);
    EXPECT_DOUBLE_EQ(makeDate(2026, 7, 15, 12), 46218.5);
    EXPECT_DOUBLE_EQ(makeDate(2026, 13, 1), makeDate(2027, 1, 1));  // months run over
    EXPECT_DOUBLE_EQ(makeDate(2026, 3, 0), makeDate(2026, 2, 28));  // day 0 is the day before
    EXPECT_THROW(makeDate(10000, 1, 1), RuntimeError);
    DateParts p = splitDate(makeDate(2028, 2, 29, 23, 59, 59));
    EXPECT_EQ(p.year, 2028);
    EXPECT_EQ(p.month, 2);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 23);
    EXPECT_EQ(p.minute, 59);
    EXPECT_EQ(p.second, 59);
    DateParts before = splitDate(-1.25);  // 29 Dec 1899, 06:00
    EXPECT_EQ(before.day, 29);
    EXPECT_EQ(before.hour, 6);
}

TEST(DateTime, MonthLengthsKnowLeapYears) {
    EXPECT_EQ(daysInMonth(2026, 2), 28);
    EXPECT_EQ(daysInMonth(2028, 2), 29);
    EXPECT_EQ(daysInMonth(1900, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
    EXPECT_EQ(daysInMonth(2026, 4), 30);
    EXPECT_EQ(daysInMonth(2026, 12), 31);
}

struct ParseCase {
    const char* name;
    Locale locale;
    Text text;
    bool ok;
    double want;
};

TEST(DateTime, ParsingFollowsTheLocaleOrder) {
    const ParseCase cases[] = {
        {"pt dashes", Locale::portugal(), u"01-7-2026", true, makeDate(2026, 7, 1)},
        {"pt slashes", Locale::portugal(), u"28/02/2026", true, makeDate(2026, 2, 28)},
        {"pt with time", Locale::portugal(), u"31-12-2026 23:15", true,
         makeDate(2026, 12, 31, 23, 15)},
        {"us order", Locale::unitedStates(), u"7/1/2026", true, makeDate(2026, 7, 1)},
        {"us pm", Locale::unitedStates(), u"7/1/2026 1:05:09 PM", true,
         makeDate(2026, 7, 1, 13, 5, 9)},
        {"year first", Locale::portugal(), u"2026-07-01", true, makeDate(2026, 7, 1)},
        {"two-digit year", Locale::portugal(), u"1-1-29", true, makeDate(2029, 1, 1)},
        {"two-digit year 30", Locale::portugal(), u"1-1-30", true, makeDate(1930, 1, 1)},
        {"time only", Locale::portugal(), u"12:00", true, 0.5},
        {"29 Feb leap", Locale::portugal(), u"29-02-2028", true, makeDate(2028, 2, 29)},
        {"29 Feb common", Locale::portugal(), u"29-02-2026", false, 0},
        {"month 13 is the day", Locale::portugal(), u"01-13-2026", true, makeDate(2026, 1, 13)},
        {"no month 13 either way", Locale::portugal(), u"13-13-2026", false, 0},
        {"letters", Locale::portugal(), u"ULTIMODIAMES", false, 0},
        {"empty", Locale::portugal(), u"", false, 0},
        {"two parts", Locale::portugal(), u"01-07", false, 0},
        {"bad time", Locale::portugal(), u"01-07-2026 25:00", false, 0},
        {"three-digit year below 100", Locale::portugal(), u"000-2", false, 0},
        {"three-digit year 099 first", Locale::portugal(), u"099-1-1", false, 0},
        {"three-digit year 100", Locale::portugal(), u"100-1-1", true, makeDate(100, 1, 1)},
    };
    for (const auto& c : cases) {
        auto got = parseDate(c.text, c.locale);
        EXPECT_EQ(got.has_value(), c.ok) << c.name;
        if (c.ok && got) {
            EXPECT_DOUBLE_EQ(*got, c.want) << c.name;
        }
    }
}

TEST(DateTime, FormatsByTheLocale) {
    double d = makeDate(2026, 7, 1, 9, 5, 3);
    EXPECT_EQ(formatDate(d, Locale::portugal()), u"01-07-2026 09:05:03");
    EXPECT_EQ(formatDate(d, Locale::unitedStates()), u"7/1/2026 9:05:03 AM");
    EXPECT_EQ(formatDate(makeDate(2026, 7, 1), Locale::portugal()), u"01-07-2026");
    EXPECT_EQ(formatDate(0.75, Locale::portugal()), u"18:00:00");
    EXPECT_EQ(formatShortDate(d, Locale::unitedStates()), u"7/1/2026");
    // The last second of the last day rounds to the second without leaving the year 9999.
    const double last = 2958465.999999;
    EXPECT_EQ(formatDate(last, Locale::portugal()), u"31-12-9999 23:59:59");
    // What is written reads back to the same value, to the second.
    for (const Locale& l : {Locale::portugal(), Locale::unitedStates()}) {
        for (double value : {d, last}) {
            auto back = parseDate(formatDate(value, l), l);
            ASSERT_TRUE(back.has_value()) << toUtf8(formatDate(value, l));
            EXPECT_NEAR(*back, value, 1.0 / 86400);
        }
    }
}
