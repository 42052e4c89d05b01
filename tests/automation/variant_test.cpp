#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "automation/locale.h"
#include "automation/object.h"
#include "automation/runtime_error.h"
#include "automation/variant.h"

using namespace vantrel::automation;

namespace {

// The error number a conversion raises, or 0 when it succeeds.
int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

struct LongCase {
    const char* name;
    Variant input;
    std::int32_t want;
    int error;
};

}  // namespace

TEST(Variant, ToLongRoundsHalfToEvenAndChecksRange) {
    ScopedLocale pt(Locale::portugal());
    const LongCase cases[] = {
        {"empty is 0", Variant(), 0, 0},
        {"true is -1", Variant(true), -1, 0},
        {"2.5 to even", Variant(2.5), 2, 0},
        {"3.5 to even", Variant(3.5), 4, 0},
        {"-2.5 to even", Variant(-2.5), -2, 0},
        {"0.5 to zero", Variant(0.5), 0, 0},
        {"1.5 up", Variant(1.5), 2, 0},
        {"max", Variant(2147483647.0), 2147483647, 0},
        {"min", Variant(-2147483648.0), -2147483647 - 1, 0},
        {"past max", Variant(2147483647.5), 0, errc::Overflow},
        {"past min", Variant(-2147483649.0), 0, errc::Overflow},
        {"eleven digits", Variant(u"12345678901"), 0, errc::Overflow},
        {"text with comma", Variant(u"2,5"), 2, 0},
        {"text with blanks", Variant(u"  12  "), 12, 0},
        {"thousands", Variant(u"1.234"), 1234, 0},
        {"letters", Variant(u"abc"), 0, errc::TypeMismatch},
        {"empty text", Variant(u""), 0, errc::TypeMismatch},
        {"null", Variant::null(), 0, errc::InvalidUseOfNull},
        {"currency half", Variant(Currency{25000}), 2, 0},
        {"currency 3.5", Variant(Currency{35000}), 4, 0},
        {"date", Variant::date(45000.75), 45001, 0},
        {"hex", Variant(u"&HFF"), 255, 0},
        {"exponent", Variant(u"1e3"), 1000, 0},
        {"nan", Variant(std::nan("")), 0, errc::Overflow},
    };
    for (const auto& c : cases) {
        std::int32_t got = 0;
        int err = errorOf([&] { got = c.input.toLong(); });
        EXPECT_EQ(err, c.error) << c.name;
        if (c.error == 0) {
            EXPECT_EQ(got, c.want) << c.name;
        }
    }
}

TEST(Variant, ToIntegerIsSixteenBit) {
    EXPECT_EQ(Variant(32767.4).toInteger(), 32767);
    EXPECT_EQ(Variant(-32768.0).toInteger(), -32768);
    EXPECT_EQ(errorOf([] { (void)Variant(32767.5).toInteger(); }), errc::Overflow);
    EXPECT_EQ(errorOf([] { (void)Variant(std::int32_t{40000}).toInteger(); }), errc::Overflow);
    EXPECT_EQ(Variant(std::int32_t{2026}).toInteger(), 2026);
    EXPECT_EQ(Variant(u"2026").toInteger(), 2026);
}

struct DoubleCase {
    const char* name;
    Locale locale;
    Text text;
    double want;
    int error;
};

TEST(Variant, TextToDoubleFollowsTheLocale) {
    const DoubleCase cases[] = {
        {"pt comma", Locale::portugal(), u"1,5", 1.5, 0},
        {"pt point is thousands", Locale::portugal(), u"1.5", 15, 0},
        {"pt grouped", Locale::portugal(), u"1.234.567,25", 1234567.25, 0},
        {"us point", Locale::unitedStates(), u"1.5", 1.5, 0},
        {"us comma is thousands", Locale::unitedStates(), u"1,500", 1500, 0},
        {"negative", Locale::portugal(), u"-0,25", -0.25, 0},
        {"plus", Locale::portugal(), u"+3", 3, 0},
        {"exponent", Locale::unitedStates(), u"2.5E-3", 0.0025, 0},
        {"huge", Locale::unitedStates(), u"1e400", 0, errc::Overflow},
        {"trailing letters", Locale::portugal(), u"12abc", 0, errc::TypeMismatch},
        {"only sign", Locale::portugal(), u"-", 0, errc::TypeMismatch},
        {"two decimals", Locale::portugal(), u"1,2,3", 0, errc::TypeMismatch},
        {"blank", Locale::portugal(), u"   ", 0, errc::TypeMismatch},
        {"leading separator", Locale::portugal(), u".5", 0, errc::TypeMismatch},
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

TEST(Variant, ToTextWritesNumbersByTheLocale) {
    ScopedLocale pt(Locale::portugal());
    const TextCase cases[] = {
        {"empty", Variant(), u""},
        {"true", Variant(true), u"True"},
        {"false", Variant(false), u"False"},
        {"long", Variant(std::int32_t{-42}), u"-42"},
        {"double", Variant(2.25), u"2,25"},
        {"whole double", Variant(100.0), u"100"},
        {"fifteen digits", Variant(0.1 + 0.2), u"0,3"},
        {"large", Variant(1e15), u"1E+15"},
        {"small", Variant(1.5e-7), u"1,5E-07"},
        {"currency", Variant(Currency{22500}), u"2,25"},
        {"date", Variant::date(46023.0), u"01-01-2026"},
        {"date time", Variant::date(46023.5), u"01-01-2026 12:00:00"},
        {"text", Variant(u"Taxa Energética"), u"Taxa Energética"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.input.toText(), c.want) << c.name;
    EXPECT_EQ(errorOf([] { (void)Variant::null().toText(); }), errc::InvalidUseOfNull);
    EXPECT_EQ(errorOf([] { (void)Variant(Array(VarType::String, 0, 1)).toText(); }), errc::TypeMismatch);
}

TEST(Variant, ToBoolAcceptsNamesAndNumbers) {
    ScopedLocale pt(Locale::portugal());
    EXPECT_TRUE(Variant(u"True").toBool());
    EXPECT_TRUE(Variant(u" verdadeiro ").toBool());
    EXPECT_FALSE(Variant(u"FALSE").toBool());
    EXPECT_FALSE(Variant(u"Falso").toBool());
    EXPECT_TRUE(Variant(u"-1").toBool());
    EXPECT_FALSE(Variant(u"0").toBool());
    EXPECT_TRUE(Variant(0.1).toBool());
    EXPECT_FALSE(Variant().toBool());
    EXPECT_EQ(errorOf([] { (void)Variant(u"sim").toBool(); }), errc::TypeMismatch);
}

struct CompareCase {
    const char* name;
    Variant a;
    Variant b;
    int want;
};

TEST(Variant, CompareFollowsVariantRules) {
    ScopedLocale pt(Locale::portugal());
    const CompareCase cases[] = {
        {"text 0 equals 0", Variant(u"0"), Variant(std::int32_t{0}), 0},
        {"text 00 equals 0", Variant(u"00"), Variant(std::int32_t{0}), 0},
        {"blank-padded 0", Variant(u" 0 "), Variant(std::int32_t{0}), 0},
        {"text A is greater than 0", Variant(u"A"), Variant(std::int32_t{0}), 1},
        {"0 is less than text A", Variant(std::int32_t{0}), Variant(u"A"), -1},
        {"text 1 is greater", Variant(u"1"), Variant(std::int32_t{0}), 1},
        {"empty text vs 0", Variant(u""), Variant(std::int32_t{0}), 1},
        {"empty vs 0", Variant(), Variant(std::int32_t{0}), 0},
        {"empty vs empty text", Variant(), Variant(u""), 0},
        {"texts are binary", Variant(u"a"), Variant(u"B"), 1},
        {"prefix first", Variant(u"AB"), Variant(u"ABC"), -1},
        {"true is -1", Variant(true), Variant(-1.0), 0},
        {"integer vs double", Variant(std::int16_t{2}), Variant(2.0), 0},
        {"date vs number", Variant::date(2.0), Variant(1.0), 1},
    };
    for (const auto& c : cases) EXPECT_EQ(compare(c.a, c.b), c.want) << c.name;
    EXPECT_EQ(errorOf([] { (void)compare(Variant::null(), Variant(u"x")); }), errc::InvalidUseOfNull);
}

struct ValCase {
    const char* text;
    double want;
};

TEST(Variant, ValReadsTheLeadingNumberWhateverTheLocale) {
    ScopedLocale pt(Locale::portugal());
    const ValCase cases[] = {
        {"1.5", 1.5},     {" 2.5 ", 2.5},   {"abc", 0},     {"", 0},        {"1,5", 1},
        {"12abc", 12},    {"1 000", 1000},  {"-3.25x", -3.25}, {".5", 0.5}, {"1.2.3", 1.2},
        {"1e3", 1000},    {"1e", 1},        {"&HFF", 255},  {"&HFFFF", -1}, {"&O17", 15},
        {"\t7", 7},       {"+4", 4},        {"- 4", -4},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(val(fromUtf8(c.text)), c.want) << c.text;
    EXPECT_EQ(errorOf([] { (void)val(u"1e400"); }), errc::Overflow);
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
