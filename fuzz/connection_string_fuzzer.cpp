// libFuzzer target for the stand-ins' connection-string reader. Build and run: see
// fuzz/README.md.
//
// Input: the connection string (UTF-8).
#include <cstdint>

#include "erp/connection_string.h"
#include "fuzz_support.h"

namespace {

using namespace vantrel::automation;
using vantrel::fuzzing::attempt;
using vantrel::fuzzing::check;
using vantrel::substitutes::erp::ConnectionString;
using vantrel::substitutes::erp::connectionTarget;

// ADO's "arguments of the wrong type, out of acceptable range, or in conflict".
constexpr std::int32_t kBadArguments = 3001;

bool blank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// The pairs written back by the rules the reader follows: "=" in a keyword doubled, a value
// that would not survive bare (a ';', a quote or blank at either end, a first '=' that would
// join the keyword's "=") put in double quotes with its quotes doubled.
Text written(const ConnectionString& cs) {
    Text out;
    for (const auto& [keyword, value] : cs.values()) {
        out += replaceAll(keyword, u"=", u"==") + u"=";
        const bool quote =
            value.find(u';') != Text::npos ||
            (!value.empty() && (value[0] == u'"' || value[0] == u'\'' || value[0] == u'=' ||
                                blank(value.front()) || blank(value.back())));
        out += quote ? u"\"" + replaceAll(value, u"\"", u"\"\"") + u"\"" : value;
        out += u";";
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const Text text = fromUtf8(vantrel::fuzzing::bytesOf(data, size));
    const auto cs = attempt([&] { return ConnectionString::parse(text); }, {kBadArguments}, text);
    if (!cs.ok()) return 0;
    for (const auto& [keyword, value] : cs.value->values()) {
        check(!keyword.empty() && keyword == ucase(keyword), "a keyword not upper case", text);
        check(cs.value->get(lcase(keyword)) == value, "a keyword not found in lower case", text);
        // Blanks around keywords are ignored: the keyword read is the keyword found.
        check(!blank(keyword.front()) && !blank(keyword.back()), "a blank kept in a keyword",
              keyword);
    }
    // What the pairs read write back and read again as the same pairs.
    const Text again = written(*cs.value);
    const auto reread = attempt([&] { return ConnectionString::parse(again); }, {}, again);
    check(reread.value->values() == cs.value->values(), "pairs written do not read back", again);
    connectionTarget(*cs.value);
    return 0;
}
