// libFuzzer target for the text conversions (UTF-8, UTF-16, Windows-1252) and the string
// functions with the runtime's semantics. Build and run: see fuzz/README.md.
//
// Input: any bytes, read as UTF-8, as Windows-1252 and as little-endian UTF-16 units.
#include <array>
#include <cstdint>
#include <string>

#include "automation/text.h"
#include "fuzz_support.h"

namespace {

using namespace vantrel::automation;
using vantrel::fuzzing::check;

bool isHigh(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLow(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The text with each lone surrogate replaced by U+FFFD: what survives a trip through UTF-8.
Text withoutLoneSurrogates(TextView t) {
    Text out;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (isHigh(t[i]) && i + 1 < t.size() && isLow(t[i + 1])) {
            out.append(t.substr(i, 2));
            ++i;
        } else {
            out.push_back(isHigh(t[i]) || isLow(t[i]) ? char16_t{0xFFFD} : t[i]);
        }
    }
    return out;
}

std::size_t characters(TextView t) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < t.size(); ++i, ++n) {
        if (isHigh(t[i]) && i + 1 < t.size() && isLow(t[i + 1])) ++i;
    }
    return n;
}

void utf8(std::string_view bytes) {
    const Text t = fromUtf8(bytes);
    check(withoutLoneSurrogates(t) == t, "UTF-8 decoding made a lone surrogate", t);
    const std::string back = toUtf8(t);
    // Valid UTF-8 comes back byte for byte; only replaced bytes may differ.
    if (t.find(u'\xFFFD') == Text::npos) check(back == bytes, "valid UTF-8 not kept", t);
    check(fromUtf8(back) == t, "UTF-8 written does not read back", t);
}

void utf16(TextView units) {
    const std::string bytes = toUtf8(units);
    check(fromUtf8(bytes) == withoutLoneSurrogates(units), "UTF-16 through UTF-8 changed", units);
}

void cp1252(std::string_view bytes, TextView units) {
    const Text t = fromCp1252(bytes);
    check(t.size() == bytes.size(), "Windows-1252 decoding changed the length");
    check(toCp1252(t) == bytes, "Windows-1252 bytes do not come back");
    // Every byte has one character, so a character either has its byte or becomes '?'.
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> a{};
        for (int b = 0; b < 256; ++b) a[b] = fromCp1252(std::string(1, static_cast<char>(b)))[0];
        return a;
    }();
    const std::string narrow = toCp1252(units);
    check(narrow.size() == characters(units), "not one byte per character", units);
    for (std::size_t i = 0, k = 0; i < units.size(); ++i, ++k) {
        const auto b = static_cast<unsigned char>(narrow[k]);
        const bool pair = isHigh(units[i]) && i + 1 < units.size() && isLow(units[i + 1]);
        if (table[b] != units[i]) check(b == '?', "a character became another", units);
        if (pair) {
            check(b == '?', "a surrogate pair has a byte", units);
            ++i;
        }
    }
}

void stringFunctions(TextView t, std::size_t a, std::size_t b) {
    const Text up = ucase(t), low = lcase(t);
    check(up.size() == t.size() && low.size() == t.size(), "case mapping changed the length", t);
    check(ucase(up) == up && lcase(low) == low, "case mapping not idempotent", t);
    check(ucase(low) == up, "upper case of the lower case differs", t);
    check(equalsIgnoreCase(t, low) && equalsIgnoreCase(up, t), "case-insensitive unequal", t);
    const Text trimmed = trim(t);
    check(trim(trimmed) == trimmed && trimmed == ltrim(rtrim(t)), "trim not idempotent", t);
    check(trimmed.empty() || (trimmed.front() != u' ' && trimmed.back() != u' '), "blank kept", t);
    const Text m = mid(t, a, b);
    check(m.size() <= b && (a == 0 || a > t.size() || m == t.substr(a - 1, b)), "Mid", t);
    check(left(t, a) + mid(t, a + 1) == Text(t), "Left and Mid do not join", t);
    check(right(t, b).size() == std::min(b, t.size()), "Right", t);
    const Text what = mid(t, a, b % 4 + 1);
    const std::size_t at = instr(b % (t.size() + 2), t, what);
    check(at <= t.size() + 1, "InStr past the end", t);
    if (at > 0) check(t.substr(at - 1, what.size()) == what, "InStr points at another text", t);
    check(replaceAll(t, what, what) == t, "replacing a text by itself changed it", t);
    if (!what.empty()) {
        check(replaceAll(t, what, what + u"#").size() >= t.size(), "replace lost units", t);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = vantrel::fuzzing::bytesOf(data, size);
    Text units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    utf8(bytes);
    utf16(units);
    cp1252(bytes, units);
    const std::size_t a = size > 0 ? data[0] % 40 : 0, b = size > 1 ? data[1] % 40 : 0;
    stringFunctions(fromUtf8(bytes), a, b);
    stringFunctions(units, a, b);
    return 0;
}
