#include "automation/variant.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "automation/datetime.h"
#include "automation/locale.h"
#include "automation/object.h"
#include "automation/runtime_error.h"

namespace vantrel::automation {

namespace {

[[noreturn]] void mismatch() {
    throw RuntimeError(errc::TypeMismatch);
}
[[noreturn]] void overflow() {
    throw RuntimeError(errc::Overflow);
}
[[noreturn]] void nullUse() {
    throw RuntimeError(errc::InvalidUseOfNull);
}

enum class Parse { Ok, NotNumber, Overflow };

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == 0xA0;
}
bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Reads "&Hxx" or "&Oxx". Val stops at the first character that is no digit and reads short
// literals as 16-bit, longer ones as 32-bit, both signed. A conversion (whole) needs every
// character to be a digit and gives the unsigned bit pattern, which an Integer or a Long
// takes as its own bits and anything else as a number (past 31 bits an overflow). Digits
// past 32 bits are an overflow, which the conversions raise and IsNumeric and comparisons
// take as a text that is no number.
Parse parseRadix(TextView s, double& out, bool whole = false) {
    if (s.size() < 3 || s[0] != u'&') return Parse::NotNumber;
    char16_t kind = s[1];
    int base;
    if (kind == u'H' || kind == u'h') {
        base = 16;
    } else if (kind == u'O' || kind == u'o') {
        base = 8;
    } else {
        return Parse::NotNumber;
    }
    std::uint64_t value = 0;
    std::size_t digits = 0;
    bool tooLong = false;
    for (std::size_t i = 2; i < s.size(); ++i) {
        char16_t c = s[i];
        int d;
        if (isDigit(c)) {
            d = c - u'0';
        } else if (base == 16 && c >= u'a' && c <= u'f') {
            d = c - u'a' + 10;
        } else if (base == 16 && c >= u'A' && c <= u'F') {
            d = c - u'A' + 10;
        } else {
            break;
        }
        if (d >= base) break;
        ++digits;
        // Keep counting digits, so that a text that goes on with a letter is still no number.
        if (tooLong) continue;
        value = value * base + d;
        if (value > 0xFFFFFFFFull) tooLong = true;
    }
    if (digits == 0 || (whole && digits + 2 != s.size())) return Parse::NotNumber;
    if (tooLong) return Parse::Overflow;
    if (whole) {
        out = static_cast<double>(value);
    } else if (value <= 0xFFFF && digits <= (base == 16 ? 4u : 6u)) {
        out = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    } else {
        out = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }
    return Parse::Ok;
}

TextView trimBlanks(TextView s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool stripPrefix(TextView& s, TextView prefix) {
    if (prefix.empty() || s.substr(0, prefix.size()) != prefix) return false;
    s = trimBlanks(s.substr(prefix.size()));
    return true;
}

bool stripSuffix(TextView& s, TextView suffix) {
    if (suffix.empty() || s.size() < suffix.size() || s.substr(s.size() - suffix.size()) != suffix)
        return false;
    s = trimBlanks(s.substr(0, s.size() - suffix.size()));
    return true;
}

// The runtime reads numbers as leniently as accountants write them: a sign before or after,
// parentheses for a negative amount, the currency symbol on either side.
Parse parseLocaleNumber(TextView text, const Locale& locale, double& out) {
    TextView s = trimBlanks(text);
    if (s.empty()) return Parse::NotNumber;
    if (s[0] == u'&') {
        double v;
        if (Parse p = parseRadix(s, v, true); p != Parse::Ok) return p;
        if (v > 2147483647.0) return Parse::Overflow;
        out = v;
        return Parse::Ok;
    }
    bool negative = stripPrefix(s, u"-");
    bool signedBefore = negative || stripPrefix(s, u"+");
    if (s.size() > 1 && s.front() == u'(' && s.back() == u')') {
        negative = true;
        s = trimBlanks(s.substr(1, s.size() - 2));
    }
    if (!stripPrefix(s, locale.currencySymbol)) stripSuffix(s, locale.currencySymbol);
    if (!signedBefore && !stripSuffix(s, u"+") && stripSuffix(s, u"-")) negative = true;
    std::string ascii = negative ? "-" : "";  // normalised for strtod: sign, digits, '.', exponent
    // A blank stands for the no-break space that some locales group digits with.
    char16_t thousands = locale.thousandsSeparator;
    std::size_t i = 0;
    bool digits = false;
    bool seenDecimal = false;
    for (; i < s.size(); ++i) {
        char16_t c = s[i];
        if (isDigit(c)) {
            ascii.push_back(static_cast<char>(c));
            digits = true;
        } else if (c == locale.decimalSeparator && !seenDecimal) {
            ascii.push_back('.');
            seenDecimal = true;
        } else if ((c == thousands || (thousands == 0xA0 && c == u' ')) && !seenDecimal && digits) {
            continue;
        } else {
            break;
        }
    }
    if (!digits) return Parse::NotNumber;
    // Only Val reads a D exponent.
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            exp.push_back(static_cast<char>(s[j++]));
        bool expDigits = false;
        while (j < s.size() && isDigit(s[j])) {
            exp.push_back(static_cast<char>(s[j++]));
            expDigits = true;
        }
        if (!expDigits) return Parse::NotNumber;
        ascii += exp;
        i = j;
    }
    if (i != s.size()) return Parse::NotNumber;
    double v = std::strtod(ascii.c_str(), nullptr);
    if (std::isinf(v)) return Parse::Overflow;
    out = v;
    return Parse::Ok;
}

// The bit pattern of a "&H"/"&O" text, for the integer conversions; nothing for other values.
std::optional<std::uint32_t> radixBits(const Variant::Storage& v) {
    auto t = std::get_if<Text>(&v);
    if (!t) return std::nullopt;
    TextView s = trimBlanks(*t);
    double bits;
    if (s.empty() || s[0] != u'&') return std::nullopt;
    switch (parseRadix(s, bits, true)) {
        case Parse::Ok:
            break;
        case Parse::Overflow:
            overflow();
        case Parse::NotNumber:
            mismatch();
    }
    return static_cast<std::uint32_t>(bits);
}

Variant objectValue(const std::shared_ptr<Object>& o) {
    if (!o) throw RuntimeError(errc::ObjectVariableNotSet);
    Variant v = o->invoke(u"", CallKind::Get, {});
    if (v.isObject()) mismatch();
    return v;
}

Text formatCurrency(Currency c) {
    std::int64_t whole = c.scaled / 10000;
    std::int64_t frac = c.scaled % 10000;
    bool negative = c.scaled < 0;
    if (frac < 0) frac = -frac;
    std::string out = negative && whole == 0 ? "-0" : std::to_string(whole);
    if (frac != 0) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04lld", static_cast<long long>(frac));
        std::string f(buf);
        while (!f.empty() && f.back() == '0') f.pop_back();
        Text t = fromUtf8(out);
        t.push_back(Locale::current().decimalSeparator);
        return t + fromUtf8(f);
    }
    return fromUtf8(out);
}

}  // namespace

// ---- Array ---------------------------------------------------------------------------

Array::Array(VarType element, std::int32_t lower, std::int32_t upper)
    : elementType(element), lowerBound(lower) {
    if (upper >= lower) items.resize(static_cast<std::size_t>(upper - lower + 1));
    if (element == VarType::String) {
        for (auto& v : items) v = Variant(Text());
    } else if (element == VarType::Long) {
        for (auto& v : items) v = Variant(std::int32_t{0});
    } else if (element == VarType::Integer) {
        for (auto& v : items) v = Variant(std::int16_t{0});
    }
}

Array Array::ofTexts(const std::vector<Text>& texts, std::int32_t lower) {
    Array a;
    a.elementType = VarType::String;
    a.lowerBound = lower;
    for (const auto& t : texts) a.items.emplace_back(t);
    return a;
}

Variant& Array::at(std::int32_t index) {
    if (index < lowerBound || index > ubound()) throw RuntimeError(errc::SubscriptOutOfRange);
    return items[static_cast<std::size_t>(index - lowerBound)];
}

const Variant& Array::at(std::int32_t index) const {
    if (index < lowerBound || index > ubound()) throw RuntimeError(errc::SubscriptOutOfRange);
    return items[static_cast<std::size_t>(index - lowerBound)];
}

void Array::redim(std::int32_t lower, std::int32_t upper, bool preserve) {
    Array fresh(elementType, lower, upper);
    if (preserve) {
        for (std::int32_t i = std::max(lower, lowerBound); i <= std::min(upper, ubound()); ++i) {
            fresh.at(i) = std::move(at(i));
        }
    }
    *this = std::move(fresh);
}

// ---- Variant -------------------------------------------------------------------------

Variant::Variant(const ObjectRef& o) : v_(o.shared()) {}
Variant::Variant(Array a) : v_(std::make_shared<Array>(std::move(a))) {}

void Variant::ownArray() {
    auto& a = std::get<std::shared_ptr<Array>>(v_);
    a = std::make_shared<Array>(*a);
}

VarType Variant::type() const {
    switch (v_.index()) {
        case 0:
            return VarType::Empty;
        case 1:
            return VarType::Null;
        case 2:
            return VarType::Boolean;
        case 3:
            return VarType::Integer;
        case 4:
            return VarType::Long;
        case 5:
            return VarType::Double;
        case 6:
            return VarType::Currency;
        case 7:
            return VarType::Date;
        case 8:
            return VarType::String;
        case 9:
            return VarType::Object;
        case 10:
            return VarType::Error;
        default:
            return VarType::Array;
    }
}

bool Variant::isMissing() const {
    auto e = std::get_if<ErrorCode>(&v_);
    return e && e->code == static_cast<std::int32_t>(0x80020004);
}

bool Variant::isNumeric() const {
    switch (type()) {
        case VarType::Boolean:
        case VarType::Integer:
        case VarType::Long:
        case VarType::Double:
        case VarType::Currency:
        case VarType::Date:
            return true;
        default:
            return false;
    }
}

bool Variant::isSetObject() const {
    auto o = std::get_if<std::shared_ptr<Object>>(&v_);
    return o && *o;
}

const Text& Variant::text() const {
    auto t = std::get_if<Text>(&v_);
    if (!t) mismatch();
    return *t;
}

const Array& Variant::array() const {
    auto a = std::get_if<std::shared_ptr<Array>>(&v_);
    if (!a) mismatch();
    return **a;
}

Array& Variant::array() {
    auto a = std::get_if<std::shared_ptr<Array>>(&v_);
    if (!a) mismatch();
    return **a;
}

double Variant::toDouble() const {
    return std::visit(
        [](const auto& x) -> double {
            using X = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<X, std::monostate>)
                return 0.0;
            else if constexpr (std::is_same_v<X, NullTag>)
                nullUse();
            else if constexpr (std::is_same_v<X, bool>)
                return x ? -1.0 : 0.0;
            else if constexpr (std::is_same_v<X, std::int16_t> || std::is_same_v<X, std::int32_t>)
                return static_cast<double>(x);
            else if constexpr (std::is_same_v<X, double>)
                return x;
            else if constexpr (std::is_same_v<X, Currency>)
                return static_cast<double>(x.scaled) / 10000.0;
            else if constexpr (std::is_same_v<X, DateValue>)
                return x.value;
            else if constexpr (std::is_same_v<X, Text>) {
                double v = 0;
                switch (parseLocaleNumber(x, Locale::current(), v)) {
                    case Parse::Ok:
                        return v;
                    case Parse::Overflow:
                        overflow();
                    case Parse::NotNumber:
                        mismatch();
                }
                mismatch();
            } else if constexpr (std::is_same_v<X, std::shared_ptr<Object>>)
                return objectValue(x).toDouble();
            else
                mismatch();
        },
        v_);
}

std::int32_t Variant::toLong() const {
    if (auto i = std::get_if<std::int32_t>(&v_)) return *i;
    if (auto i = std::get_if<std::int16_t>(&v_)) return *i;
    if (auto b = std::get_if<bool>(&v_)) return *b ? -1 : 0;
    if (auto bits = radixBits(v_)) return static_cast<std::int32_t>(*bits);
    if (auto c = std::get_if<Currency>(&v_)) {
        // Currency rounds half to even on its exact scaled value.
        std::int64_t q = c->scaled / 10000, r = c->scaled % 10000;
        if (r > 5000 || (r == 5000 && (q & 1))) ++q;
        if (r < -5000 || (r == -5000 && (q & 1))) --q;
        if (q < std::numeric_limits<std::int32_t>::min() ||
            q > std::numeric_limits<std::int32_t>::max())
            overflow();
        return static_cast<std::int32_t>(q);
    }
    return roundToLong(toDouble());
}

std::int16_t Variant::toInteger() const {
    if (auto i = std::get_if<std::int16_t>(&v_)) return *i;
    if (auto bits = radixBits(v_)) {
        if (*bits > 0xFFFF) overflow();
        return static_cast<std::int16_t>(*bits);
    }
    std::int32_t l;
    if (std::holds_alternative<std::int32_t>(v_) || std::holds_alternative<bool>(v_) ||
        std::holds_alternative<Currency>(v_)) {
        l = toLong();
    } else {
        return roundToInteger(toDouble());
    }
    if (l < -32768 || l > 32767) overflow();
    return static_cast<std::int16_t>(l);
}

Currency Variant::toCurrency() const {
    if (auto c = std::get_if<Currency>(&v_)) return *c;
    double value = toDouble();
    double d = value * 10000.0;
    if (!(std::fabs(d) < 9.2233720368547758e18)) overflow();
    // oleaut32 scales in extended precision, so the exact product decides, not its rounding
    // to double: 0.00025 is a little more than itself and so no tie, and past 2^52 the
    // product keeps digits that a double drops.
    double rest = std::fma(value, 10000.0, -d);
    if (std::fabs(d) >= 4503599627370496.0)
        return Currency{static_cast<std::int64_t>(d) +
                        static_cast<std::int64_t>(std::nearbyint(rest))};
    double rounded = std::nearbyint(d);
    if (std::fabs(d - std::trunc(d)) == 0.5) {
        if (rest > 0) rounded = std::ceil(d);
        if (rest < 0) rounded = std::floor(d);
    }
    return Currency{static_cast<std::int64_t>(rounded)};
}

bool Variant::toBool() const {
    if (auto b = std::get_if<bool>(&v_)) return *b;
    if (auto t = std::get_if<Text>(&v_)) {
        // Names stand alone, without blanks; numbers may have them.
        const Text& s = *t;
        const Locale& l = Locale::current();
        if (equalsIgnoreCase(s, u"True") || equalsIgnoreCase(s, l.trueName) || s == u"#TRUE#")
            return true;
        if (equalsIgnoreCase(s, u"False") || equalsIgnoreCase(s, l.falseName) || s == u"#FALSE#")
            return false;
        double v = 0;
        switch (parseLocaleNumber(s, l, v)) {
            case Parse::Ok:
                return v != 0;
            case Parse::Overflow:
                overflow();
            case Parse::NotNumber:
                mismatch();
        }
    }
    if (isObject()) return objectValue(std::get<std::shared_ptr<Object>>(v_)).toBool();
    return toDouble() != 0;
}

double Variant::toDate() const {
    if (auto d = std::get_if<DateValue>(&v_)) return d->value;
    if (auto t = std::get_if<Text>(&v_)) {
        auto parsed = parseDate(*t, Locale::current());
        if (!parsed) mismatch();
        return *parsed;
    }
    if (isObject()) return objectValue(std::get<std::shared_ptr<Object>>(v_)).toDate();
    double d = toDouble();
    // Dates run from year 100 to year 9999.
    if (d < -657434.0 || d >= 2958466.0) overflow();
    return d;
}

Text Variant::toText() const {
    return std::visit(
        [](const auto& x) -> Text {
            using X = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<X, std::monostate>)
                return Text();
            else if constexpr (std::is_same_v<X, NullTag>)
                nullUse();
            else if constexpr (std::is_same_v<X, bool>)
                return x ? u"True" : u"False";
            else if constexpr (std::is_same_v<X, std::int16_t> || std::is_same_v<X, std::int32_t>)
                return fromUtf8(std::to_string(x));
            else if constexpr (std::is_same_v<X, double>)
                return formatNumber(x);
            else if constexpr (std::is_same_v<X, Currency>)
                return formatCurrency(x);
            else if constexpr (std::is_same_v<X, DateValue>)
                return formatDate(x.value);
            else if constexpr (std::is_same_v<X, Text>)
                return x;
            else if constexpr (std::is_same_v<X, std::shared_ptr<Object>>)
                return objectValue(x).toText();
            else if constexpr (std::is_same_v<X, ErrorCode>)
                return u"Error " + fromUtf8(std::to_string(x.code));
            else
                mismatch();
        },
        v_);
}

ObjectRef Variant::toObject() const {
    if (auto o = std::get_if<std::shared_ptr<Object>>(&v_)) return ObjectRef(*o);
    if (isEmpty()) return ObjectRef();
    throw RuntimeError(errc::ObjectRequired);
}

bool Variant::looksNumeric() const {
    if (isNumeric()) return true;
    if (auto t = std::get_if<Text>(&v_)) {
        double v;
        return parseLocaleNumber(*t, Locale::current(), v) == Parse::Ok;
    }
    return false;
}

// ---- free functions ------------------------------------------------------------------

std::int32_t roundToLong(double value) {
    if (std::isnan(value)) overflow();
    double r = std::nearbyint(value);
    if (r < -2147483648.0 || r > 2147483647.0) overflow();
    return static_cast<std::int32_t>(r);
}

std::int16_t roundToInteger(double value) {
    if (std::isnan(value)) overflow();
    double r = std::nearbyint(value);
    if (r < -32768.0 || r > 32767.0) overflow();
    return static_cast<std::int16_t>(r);
}

Text formatNumber(double value) {
    if (value == 0) return u"0";
    // Whole numbers below 10^15 print as "%.15G" prints them, without its cost: a document's
    // quantities, prices and counters are mostly whole.
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        char digits[24];
        auto end = std::to_chars(digits, digits + sizeof digits, static_cast<std::int64_t>(value));
        return Text(digits, end.ptr);
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    Text out = fromUtf8(buf);
    for (auto& c : out) {
        if (c == u'.') c = Locale::current().decimalSeparator;
    }
    return out;
}

bool parseNumber(TextView text, double& out) {
    return parseLocaleNumber(text, Locale::current(), out) == Parse::Ok;
}

double val(TextView text) {
    std::string ascii;
    for (char16_t c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') continue;
        ascii.push_back(c < 0x80 ? static_cast<char>(c) : '\x7f');
    }
    Text compact = fromUtf8(ascii);
    double radix;
    switch (parseRadix(compact, radix)) {
        case Parse::Ok:
            return radix;
        case Parse::Overflow:
            overflow();
        case Parse::NotNumber:
            break;
    }
    std::size_t i = 0;
    std::string num;
    if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) num.push_back(ascii[i++]);
    bool digits = false, dot = false;
    for (; i < ascii.size(); ++i) {
        char c = ascii[i];
        if (c >= '0' && c <= '9') {
            num.push_back(c);
            digits = true;
        } else if (c == '.' && !dot) {
            num.push_back(c);
            dot = true;
        } else {
            break;
        }
    }
    if (!digits) return 0.0;
    if (i < ascii.size() &&
        (ascii[i] == 'e' || ascii[i] == 'E' || ascii[i] == 'd' || ascii[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < ascii.size() && (ascii[j] == '+' || ascii[j] == '-')) exp.push_back(ascii[j++]);
        bool any = false;
        while (j < ascii.size() && ascii[j] >= '0' && ascii[j] <= '9') {
            exp.push_back(ascii[j++]);
            any = true;
        }
        if (any) num += exp;
    }
    double v = std::strtod(num.c_str(), nullptr);
    if (std::isinf(v)) overflow();
    return v;
}

int compare(const Variant& a, const Variant& b) {
    if (a.isNull() || b.isNull()) nullUse();
    if (a.isObject())
        return compare(objectValue(std::get<std::shared_ptr<Object>>(a.storage())), b);
    if (b.isObject())
        return compare(a, objectValue(std::get<std::shared_ptr<Object>>(b.storage())));
    if (a.isArray() || b.isArray() || a.type() == VarType::Error || b.type() == VarType::Error)
        mismatch();
    auto cmpText = [](const Text& x, const Text& y) { return x < y ? -1 : (x == y ? 0 : 1); };
    auto cmpNum = [](double x, double y) { return x < y ? -1 : (x == y ? 0 : 1); };
    if (a.isEmpty() && b.isEmpty()) return 0;
    if (a.isString() && b.isString()) return cmpText(a.text(), b.text());
    if (a.isEmpty()) return b.isString() ? cmpText(Text(), b.text()) : cmpNum(0, b.toDouble());
    if (b.isEmpty()) return a.isString() ? cmpText(a.text(), Text()) : cmpNum(a.toDouble(), 0);
    if (a.isNumeric() && b.isNumeric()) return cmpNum(a.toDouble(), b.toDouble());
    // One text, one number.
    const Variant& s = a.isString() ? a : b;
    const Variant& n = a.isString() ? b : a;
    double sv = 0;
    int result;
    if (parseLocaleNumber(s.text(), Locale::current(), sv) == Parse::Ok) {
        result = cmpNum(sv, n.toDouble());
    } else {
        result = 1;  // a text that is no number is greater than any number
    }
    return a.isString() ? result : -result;
}

}  // namespace vantrel::automation
