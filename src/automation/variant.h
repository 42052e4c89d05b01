// A value as an automation VARIANT holds it. Conversions and comparisons follow the
// automation runtime: banker's rounding to integers, error 6 on overflow, error 13 on a
// type mismatch, error 94 for Null, texts read and written by the current locale.
#pragma once

#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "automation/text.h"

namespace vantrel::automation {

class Object;
class ObjectRef;
struct Array;

// The runtime's VarType numbers.
enum class VarType : std::uint16_t {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Double = 5,
    Currency = 6,
    Date = 7,
    String = 8,
    Object = 9,
    Error = 10,
    Boolean = 11,
    Variant = 12,
    Array = 0x2000,
};

// A Currency value: a 64-bit integer scaled by 10,000.
struct Currency {
    std::int64_t scaled = 0;
    friend bool operator==(Currency, Currency) = default;
};

// A VT_ERROR value (a missing optional argument is Error 0x80020004).
struct ErrorCode {
    std::int32_t code = 0;
    friend bool operator==(ErrorCode, ErrorCode) = default;
};

struct NullTag {
    friend bool operator==(NullTag, NullTag) = default;
};

struct DateValue {
    double value = 0;
};

class Variant {
public:
    Variant() = default;
    Variant(bool b) : v_(b) {}
    Variant(std::int16_t i) : v_(i) {}
    Variant(std::int32_t i) : v_(i) {}
    Variant(double d) : v_(d) {}
    Variant(Currency c) : v_(c) {}
    Variant(DateValue d) : v_(d) {}
    Variant(ErrorCode e) : v_(e) {}
    Variant(NullTag n) : v_(n) {}
    Variant(Text s) : v_(std::move(s)) {}
    Variant(const char16_t* s) : v_(Text(s)) {}
    Variant(TextView s) : v_(Text(s)) {}
    Variant(const ObjectRef& o);
    Variant(Array a);
    // A narrow text would silently become a Boolean; say T("...") or u"...".
    Variant(const char*) = delete;
    static Variant longValue(std::int32_t i) { return Variant(i); }
    static Variant integerValue(std::int16_t i) { return Variant(i); }
    static Variant date(double d) { return Variant(DateValue{d}); }
    static Variant null() { return Variant(NullTag{}); }
    static Variant missing() { return Variant(ErrorCode{static_cast<std::int32_t>(0x80020004)}); }

    // Inline, with arrays the only kind that needs more than a plain copy: values are copied
    // for every argument of every late-bound call.
    Variant(const Variant& other) : v_(other.v_) {
        if (v_.index() == kArrayIndex) ownArray();
    }
    Variant(Variant&&) noexcept = default;
    Variant& operator=(const Variant& other) {
        if (this == &other) return *this;
        if (other.v_.index() == kArrayIndex) return *this = Variant(other);
        v_ = other.v_;
        return *this;
    }
    Variant& operator=(Variant&&) noexcept = default;
    ~Variant() = default;

    VarType type() const;
    bool isEmpty() const { return std::holds_alternative<std::monostate>(v_); }
    bool isNull() const { return std::holds_alternative<NullTag>(v_); }
    bool isString() const { return std::holds_alternative<Text>(v_); }
    bool isObject() const { return std::holds_alternative<std::shared_ptr<Object>>(v_); }
    bool isArray() const { return std::holds_alternative<std::shared_ptr<Array>>(v_); }
    bool isMissing() const;
    // Integer, Long, Double, Currency, Date or Boolean.
    bool isNumeric() const;
    // An object reference that is set (not Nothing).
    bool isSetObject() const;

    // Conversions (CStr, CInt, CLng, CDbl, CCur, CBool, CDate). An Object converts through
    // its default member. Errors: 13 type mismatch, 6 overflow, 94 Null.
    Text toText() const;
    std::int16_t toInteger() const;
    std::int32_t toLong() const;
    double toDouble() const;
    Currency toCurrency() const;
    bool toBool() const;
    double toDate() const;
    // The object reference; Nothing for Empty; error 424 for anything else.
    ObjectRef toObject() const;

    // Direct access (no conversion); throws 13 when the kind differs.
    const Text& text() const;
    const Array& array() const;
    Array& array();

    // Whether the value reads as a number by the locale's rules (IsNumeric).
    bool looksNumeric() const;

    // The stored value, for adapters that must see the exact kind.
    using Storage =
        std::variant<std::monostate, NullTag, bool, std::int16_t, std::int32_t, double, Currency,
                     DateValue, Text, std::shared_ptr<Object>, ErrorCode, std::shared_ptr<Array>>;
    const Storage& storage() const { return v_; }

private:
    static constexpr std::size_t kArrayIndex = 11;
    static_assert(
        std::is_same_v<std::variant_alternative_t<kArrayIndex, Storage>, std::shared_ptr<Array>>);
    // Arrays are values: a copy owns its own elements.
    void ownArray();

    Storage v_;
};

// A one-dimensional array with the runtime's bounds (lower bound 0 or 1, or any other).
struct Array {
    VarType elementType = VarType::Variant;
    std::int32_t lowerBound = 0;
    std::vector<Variant> items;

    Array() = default;
    Array(VarType element, std::int32_t lower, std::int32_t upper);
    static Array ofTexts(const std::vector<Text>& texts, std::int32_t lower = 0);

    std::int32_t lbound() const { return lowerBound; }
    std::int32_t ubound() const { return lowerBound + static_cast<std::int32_t>(items.size()) - 1; }
    bool empty() const { return items.empty(); }
    // Element access by the array's own index; error 9 outside the bounds.
    Variant& at(std::int32_t index);
    const Variant& at(std::int32_t index) const;
    // ReDim [Preserve]: new bounds; Preserve keeps the elements that stay in range.
    void redim(std::int32_t lower, std::int32_t upper, bool preserve);
};

// Variant comparison: -1, 0 or 1. Numbers compare as numbers, texts as texts (binary
// comparison of UTF-16 units); a text against a number compares as numbers when the text
// reads as a number, otherwise the text is the greater. Empty counts as 0 or "" by the other
// side. Null or an object without a default value raise an error.
int compare(const Variant& a, const Variant& b);
inline bool equals(const Variant& a, const Variant& b) {
    return compare(a, b) == 0;
}

// Val: the leading number of a text, whatever the locale (point as decimal separator,
// blanks skipped, &H and &O prefixes, stops at the first character that cannot continue).
double val(TextView text);

// Number <-> text by the locale (CStr / CDbl of a text). Parsing accepts blanks around,
// a sign, thousands separators in the integer part, the decimal separator and an exponent.
Text formatNumber(double value);
[[nodiscard]] bool parseNumber(TextView text, double& out);

// Rounds half to even and checks the range: error 6 when the result does not fit.
std::int16_t roundToInteger(double value);
std::int32_t roundToLong(double value);

}  // namespace vantrel::automation
