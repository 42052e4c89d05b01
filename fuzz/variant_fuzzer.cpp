// libFuzzer target for the conversions of texts in a Variant, in the Portuguese and the
// United States locales: to number, Currency, Integer, Long, Boolean and date, IsNumeric,
// Val and comparisons. Build and run: see fuzz/README.md.
//
// Input: UTF-8; a first line break splits it into the two texts that are compared.
#include <cmath>
#include <cstdint>

#include "automation/datetime.h"
#include "automation/locale.h"
#include "automation/variant.h"
#include "fuzz_support.h"

namespace {

using namespace vantrel::automation;
using vantrel::fuzzing::attempt;
using vantrel::fuzzing::check;

constexpr std::int32_t kInvalidCall = errc::InvalidProcedureCall;
constexpr std::int32_t kOverflow = errc::Overflow;
constexpr std::int32_t kMismatch = errc::TypeMismatch;

// "&H" and "&O" texts read as bit patterns in the integer conversions, unlike other numbers
// (tabs and no-break spaces around them count as blanks there, not for Trim).
bool readsAsBits(const Text& s) {
    const Text t = trim(s);
    return !t.empty() &&
           (t[0] == u'&' || t[0] == u'\t' || t[0] == 0xA0 || t.back() == u'\t' || t.back() == 0xA0);
}

int sign(double d) {
    return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

void numbers(const Text& s) {
    const Variant v(s);
    // IsNumeric never raises; it answers exactly when CDbl reads the text.
    const auto numeric = attempt([&] { return v.looksNumeric(); }, {}, s);
    const auto d = attempt([&] { return v.toDouble(); }, {kOverflow, kMismatch}, s);
    if (!numeric.ok()) return;
    check(*numeric.value == d.ok(), "IsNumeric and CDbl disagree", s);
    attempt([&] { return val(s); }, {kOverflow}, s);
    if (!d.ok()) {
        check(!attempt([&] { return v.toCurrency(); }, {kOverflow, kMismatch}, s).ok(), "CCur", s);
        return;
    }
    const double x = *d.value;
    check(!std::isnan(x) && !std::isinf(x), "a text read as NaN or infinity", s);

    // CStr of the number reads back as the same text (the first printing rounds to 15 digits).
    const Text printed = Variant(x).toText();
    const auto again = attempt([&] { return Variant(printed).toDouble(); }, {kOverflow}, printed);
    if (again.ok()) {
        check(Variant(*again.value).toText() == printed, "CStr(CDbl(CStr(x))) differs", s);
        check(std::fabs(*again.value - x) <= 1e-14 * std::fabs(x), "printed number too far", s);
    } else {
        // Only the last 15-digit step below the largest double rounds up past it.
        check(std::fabs(x) > 1.7976931348623e308, "a printed number does not read back", s);
    }

    const auto cur = attempt([&] { return v.toCurrency(); }, {kOverflow}, s);
    check(cur.ok() == (std::fabs(x * 10000.0) < 9.2233720368547758e18), "CCur range", s);
    if (cur.ok()) {
        const double scaled = static_cast<double>(cur.value->scaled);
        check(std::fabs(scaled - x * 10000.0) <= 0.5 + 1e-12 * std::fabs(x * 10000.0),
              "CCur rounds to another amount", s);
        if (std::fabs(scaled) < 1e15) {
            const Text amount = Variant(*cur.value).toText();
            const auto back = attempt([&] { return Variant(amount).toCurrency(); }, {}, amount);
            check(back.value->scaled == cur.value->scaled, "a Currency text does not read back",
                  amount);
        }
    }

    if (!readsAsBits(s)) {
        const double r = std::nearbyint(x);
        const auto l = attempt([&] { return v.toLong(); }, {kOverflow}, s);
        check(l.ok() == (r >= -2147483648.0 && r <= 2147483647.0), "CLng range", s);
        if (l.ok()) check(*l.value == r, "CLng does not round half to even", s);
        const auto i = attempt([&] { return v.toInteger(); }, {kOverflow}, s);
        check(i.ok() == (r >= -32768.0 && r <= 32767.0), "CInt range", s);
        if (i.ok()) check(*i.value == r, "CInt does not round half to even", s);
    }
    const auto b = attempt([&] { return v.toBool(); }, {kOverflow}, s);
    check(*b.value == (x != 0), "CBool of a number", s);

    // A number as a date: inside years 100 to 9999, overflow outside.
    const auto date = attempt([&] { return Variant(x).toDate(); }, {kOverflow}, s);
    check(date.ok() == (x >= -657434.0 && x < 2958466.0), "CDate range of a number", s);
    if (date.ok()) Variant::date(*date.value).toText();
}

void booleans(const Text& s) {
    const auto b = attempt([&] { return Variant(s).toBool(); }, {kOverflow, kMismatch}, s);
    if (!b.ok()) return;
    const Text printed = Variant(*b.value).toText();
    check(Variant(printed).toBool() == *b.value, "CStr of a Boolean does not read back", s);
}

void dates(const Text& s) {
    // "000-2" and its like raise 5 where 13 is meant (being mended).
    const auto d = attempt([&] { return Variant(s).toDate(); }, {kMismatch, kInvalidCall}, s);
    if (!d.ok()) return;
    const double x = *d.value;
    check(x >= -657434.0 && x < 2958466.0, "a text read as a date outside the years", s);
    const Text printed = Variant::date(x).toText();
    const auto again = attempt([&] { return Variant(printed).toDate(); }, {}, printed);
    check(*again.value == x, "a printed date does not read back", printed);
    check(Variant::date(*again.value).toText() == printed, "a date prints two ways", printed);
}

void comparisons(const Text& a, const Text& b) {
    const Variant va(a), vb(b);
    const int ab = compare(va, vb), ba = compare(vb, va);
    check(ab == -ba && (ab == 0) == (a == b), "text comparison not antisymmetric", a + u"|" + b);
    check(compare(va, va) == 0, "a text unequal to itself", a);
    check(compare(va, Variant()) == (a.empty() ? 0 : 1), "text against Empty", a);
    // A text against a number: as numbers when the text reads as one, otherwise greater.
    const auto da = attempt([&] { return va.toDouble(); }, {kOverflow, kMismatch}, a);
    for (double n : {0.0, -1.5, 1e300, 12.0}) {
        // Never raises: a text that is no number, or too large for one, is the greater.
        const auto c = attempt([&] { return compare(va, Variant(n)); }, {}, a);
        const int back = compare(Variant(n), va);
        check(*c.value == -back, "text against number not antisymmetric", a);
        if (da.ok()) {
            check(*c.value == sign(*da.value - n), "numeric text compares not as a number", a);
        } else if (da.error == kMismatch) {
            check(*c.value == 1, "a text that is no number is not the greater", a);
        }
    }
}

void inLocale(const Locale& locale, const Text& whole, const Text& a, const Text& b) {
    ScopedLocale scoped(locale);
    numbers(whole);
    booleans(whole);
    dates(whole);
    comparisons(a, b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 256) return 0;  // numbers and dates are short; longer texts add nothing
    const Text whole = fromUtf8(vantrel::fuzzing::bytesOf(data, size));
    const std::size_t cut = whole.find(u'\n');
    const Text a = whole.substr(0, cut);
    const Text b = cut == Text::npos ? Text() : whole.substr(cut + 1);
    inLocale(Locale::portugal(), whole, a, b);
    inLocale(Locale::unitedStates(), whole, a, b);
    return 0;
}
