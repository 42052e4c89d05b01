#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "automation/locale.h"
#include "automation/number_format.h"
#include "automation/object.h"
#include "automation/runtime_error.h"
#include "automation/variant.h"
#include "error_of.h"

using namespace vantrel::automation;

using vantrel::testing::errorOf;

// Integer rounding and overflow, Booleans, comparisons, currency and the lenient number and
// date texts run against oleaut32 in tests/wine/variant_cases.txt; these cases hold what
// that table cannot: the older pt-PT data of our fixture (point between thousands, dashes
// between date parts).

struct DoubleCase {
    const char* name;
    Locale locale;
    Text text;
    double want;
    int error;
};

TEST(Variant, TextToDoubleFollowsTheLocale) {
    const DoubleCase cases[] = {
        {"pt point is thousands", Locale::portugal(), u"1.5", 15, 0},
        {"pt grouped", Locale::portugal(), u"1.234.567,25", 1234567.25, 0},
        {"pt amount in parentheses", Locale::portugal(), u"(1.234,50 €)", -1234.5, 0},
        {"pt trailing minus", Locale::portugal(), u"1.000- ", -1000, 0},
        {"pt leading separator", Locale::portugal(), u".5", 0, errc::TypeMismatch},
        {"pt no D exponent", Locale::portugal(), u"1D3", 0, errc::TypeMismatch},
    };
    for (const auto& c : cases) {
        ScopedLocale scoped(c.locale);
        double got = 0;
        int err = errorOf([&] { got = Variant(c.text).toDouble(); });
        EXPECT_EQ(err, c.error) << c.name;
        if (c.error == 0) {
            EXPECT_DOUBLE_EQ(got, c.want) << c.name;
        }
    }
}

struct TextCase {
    const char* name;
    Variant input;
    Text want;
};

TEST(Variant, ToTextWritesNumbersAndDatesByTheLocale) {
    ScopedLocale pt(Locale::portugal());
    const TextCase cases[] = {
        {"whole", Variant(23.0), u"23"},
        {"negative whole", Variant(-7.0), u"-7"},
        {"minus zero", Variant(-0.0), u"0"},
        {"largest plain whole", Variant(999999999999999.0), u"999999999999999"},
        {"10^15 in exponent form", Variant(1e15), u"1E+15"},
        {"fraction", Variant(-1.5), u"-1,5"},
        {"fifteen digits", Variant(2.0 / 3.0), u"0,666666666666667"},
        {"date", Variant::date(46023.0), u"01-01-2026"},
        {"date time", Variant::date(46023.5), u"01-01-2026 12:00:00"},
        {"day 0", Variant::date(0), u"00:00:00"},
        {"a second's tenth", Variant::date(46023.000001), u"01-01-2026 00:00:00"},
        {"text", Variant(u"Taxa Energética"), u"Taxa Energética"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.input.toText(), c.want) << c.name;
    EXPECT_EQ(errorOf([] { (void)Variant::null().toText(); }), errc::InvalidUseOfNull);
    EXPECT_EQ(errorOf([] { (void)Variant(Array(VarType::String, 0, 1)).toText(); }),
              errc::TypeMismatch);
}

struct GroupedCase {
    Locale locale;
    double value;
    int decimals;
    Text want;
};

TEST(Variant, GroupedNumbersShowTheirDecimalsAndThousandsByTheLocale) {
    const GroupedCase cases[] = {
        {Locale::portugal(), 10.8, 2, u"10,80"},
        {Locale::portugal(), 1234567.891, 2, u"1.234.567,89"},
        {Locale::portugal(), -1234.5, 2, u"-1.234,50"},
        {Locale::portugal(), 999.999, 2, u"1.000,00"},
        {Locale::portugal(), -0.001, 2, u"0,00"},
        {Locale::portugal(), 0.125, 3, u"0,125"},
        {Locale::portugal(), 1234, 0, u"1.234"},
        {Locale::unitedStates(), 1234.5, 2, u"1,234.50"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatGrouped(c.value, c.decimals, c.locale), c.want) << c.value;
    }
}

struct ValCase {
    const char* text;
    double want;
};

TEST(Variant, ValReadsTheLeadingNumberWhateverTheLocale) {
    ScopedLocale pt(Locale::portugal());
    const ValCase cases[] = {
        {"1.5", 1.5},  {" 2.5 ", 2.5},  {"abc", 0},        {"", 0},        {"1,5", 1},
        {"12abc", 12}, {"1 000", 1000}, {"-3.25x", -3.25}, {".5", 0.5},    {"1.2.3", 1.2},
        {"1e3", 1000}, {"1e", 1},       {"&HFF", 255},     {"&HFFFF", -1}, {"&O17", 15},
        {"\t7", 7},    {"+4", 4},       {"- 4", -4},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(val(fromUtf8(c.text)), c.want) << c.text;
    EXPECT_EQ(errorOf([] { (void)val(u"1e400"); }), errc::Overflow);
}

struct NumberTextCase {
    const char* text;
    bool numeric;     // IsNumeric
    int againstZero;  // the text compared with the Long 0
    int toDoubleError;
};

TEST(Variant, TextsPastTheNumberRangeAreNoNumbersButConvertWithAnError) {
    ScopedLocale pt(Locale::portugal());
    const NumberTextCase cases[] = {
        {"12", true, 1, 0},
        {"-3", true, -1, 0},
        {"&HFF", true, 1, 0},
        {"&H0", true, 0, 0},
        {"&HFFFFFFFFF", false, 1, errc::Overflow},
        {"&O777777777777", false, 1, errc::Overflow},
        {"&HFFFFFFFFFZ", false, 1, errc::TypeMismatch},
        {"1e999", false, 1, errc::Overflow},
        {"abc", false, 1, errc::TypeMismatch},
    };
    for (const auto& c : cases) {
        const Variant text(fromUtf8(c.text));
        bool numeric = !c.numeric;
        int order = 2;
        EXPECT_EQ(errorOf([&] { numeric = text.looksNumeric(); }), 0) << c.text;
        EXPECT_EQ(numeric, c.numeric) << c.text;
        EXPECT_EQ(errorOf([&] { order = compare(text, Variant(std::int32_t{0})); }), 0) << c.text;
        EXPECT_EQ(order, c.againstZero) << c.text;
        EXPECT_EQ(errorOf([&] { order = -compare(Variant(std::int32_t{0}), text); }), 0) << c.text;
        EXPECT_EQ(order, c.againstZero) << c.text;
        EXPECT_EQ(errorOf([&] { (void)text.toDouble(); }), c.toDoubleError) << c.text;
    }
}

TEST(Variant, ArraysKeepTheirBoundsAndCopyByValue) {
    Array a(VarType::String, 1, 3);
    a.at(1) = Variant(u"x");
    EXPECT_EQ(a.lbound(), 1);
    EXPECT_EQ(a.ubound(), 3);
    EXPECT_EQ(a.at(2).toText(), u"");
    EXPECT_EQ(errorOf([&] { (void)a.at(0); }), errc::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { (void)a.at(4); }), errc::SubscriptOutOfRange);
    a.redim(1, 5, true);
    EXPECT_EQ(a.at(1).toText(), u"x");
    EXPECT_EQ(a.ubound(), 5);
    Variant v(a);
    Variant copy = v;
    copy.array().at(1) = Variant(u"changed");
    EXPECT_EQ(v.array().at(1).toText(), u"x");
    Variant assigned(u"text");
    assigned = v;
    assigned.array().at(1) = Variant(u"assigned");
    EXPECT_EQ(v.array().at(1).toText(), u"x");
    Array empty;
    EXPECT_EQ(empty.ubound(), -1);
    EXPECT_TRUE(empty.empty());
}

TEST(Variant, ObjectConversionsUseTheDefaultMember) {
    struct Field : Object {
        Variant value;
        Variant invoke(TextView member, CallKind, std::span<Argument>) override {
            if (member.empty() || isMember(member, u"Value")) return value;
            unknownMember(member);
        }
    };
    auto f = std::make_shared<Field>();
    f->value = Variant(u"42");
    Variant v{ObjectRef(f)};
    EXPECT_EQ(v.toLong(), 42);
    EXPECT_EQ(v.toText(), u"42");
    EXPECT_TRUE(v.isSetObject());
    EXPECT_EQ(errorOf([] { (void)Variant(ObjectRef()).toText(); }), errc::ObjectVariableNotSet);
    EXPECT_EQ(errorOf([] { (void)Variant(u"x").toObject(); }), errc::ObjectRequired);
    EXPECT_TRUE(Variant().toObject().isNothing());
}
