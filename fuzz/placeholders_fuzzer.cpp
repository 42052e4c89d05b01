// libFuzzer target for the placeholders of the parameter description file: "fn{...}",
// "fl[...]" and the "@RRFAABB" references, with the rows of a prompt window built one line at
// a time as the report engine builds them, and a fake data-access object for the queries.
// Build and run: see fuzz/README.md.
//
// Input: the description file (UTF-8), one line per text row.
#include <cstdint>
#include <vector>

#include "automation/datetime.h"
#include "fuzz_support.h"
#include "reports/parameters/placeholders.h"

namespace {

using namespace vantrel::automation;
using vantrel::fuzzing::attempt;
using vantrel::fuzzing::check;
namespace parameters = vantrel::reports::parameters;

// ADO's "no current record" and SQL Server's syntax error, as the data-access object raises.
constexpr std::int32_t kNoCurrentRecord = 3021;
constexpr std::int32_t kSyntaxError = -2147217900;
// What the fake window's text boxes keep of a value. References to rows whose values
// themselves hold references multiply a value's length with each row; the bound keeps one
// input within the fuzzer's memory while that growth is being mended in the engine.
constexpr std::size_t kTextBoxUnits = 1024;

// The fake data-access object: the first value of a query's first row.
Text firstValue(const Text& sql) {
    const Text upper = ucase(trim(sql));
    std::size_t quotes = 0;
    for (char16_t c : sql) quotes += c == u'\'';
    if (quotes % 2 != 0) throw RuntimeError(kSyntaxError, u"Microsoft OLE DB Provider", u"syntax");
    if (startsWith(upper, u"SELECT NULL")) return Text();  // a Null value reads as ""
    if (upper.find(u"WHERE 1=0") != Text::npos) throw RuntimeError(kNoCurrentRecord);
    return u"v" + fromUtf8(std::to_string(sql.size()));
}

std::size_t count(TextView text, char16_t c) {
    std::size_t n = 0;
    for (char16_t x : text) n += x == c;
    return n;
}

void functionAndList(const Text& line) {
    const Text lower = lcase(line);
    const Text inside = parameters::functionText(line);
    const std::size_t a = lower.find(u"fn{");
    const std::size_t b = a == Text::npos ? Text::npos : line.find(u'}', a);
    if (b == Text::npos) {
        check(inside.empty(), "a value without its placeholder", line);
    } else {
        check(inside.find(u'}') == Text::npos, "the value runs past its brace", line);
        check(line.compare(a + 3, inside.size() + 1, inside + u"}") == 0, "not the first fn{",
              line);
    }
    const Text list = parameters::listText(line);
    const std::size_t l = lower.find(u"fl[");
    if (l == Text::npos) {
        check(list.empty(), "a list without its placeholder", line);
    } else {
        const Text rest = trim(TextView(line).substr(l + 3));
        check(rest.empty() ? list.empty() : list == rest.substr(0, rest.size() - 1),
              "the list is not the rest of the line less its end", line);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const Text file = fromUtf8(vantrel::fuzzing::bytesOf(data, size));
    std::vector<Text> rows;  // the values of the rows built so far, row 1 first
    const double now = makeDate(2026, 7, 14, 9, 5, 7);
    for (std::size_t pos = 0; pos <= file.size() && rows.size() < 16;) {
        const std::size_t nl = file.find(u'\n', pos);
        const Text line = file.substr(pos, nl == Text::npos ? Text::npos : nl - pos);
        pos = nl == Text::npos ? file.size() + 1 : nl + 1;
        functionAndList(line);

        std::size_t longest = 0;
        for (const Text& r : rows) longest = std::max(longest, r.size());
        auto rowValue = [&](std::int16_t row) -> Text {
            // The engine's row kinds reach as far as the rows built; later rows have none.
            if (row < 1 || static_cast<std::size_t>(row) > rows.size())
                throw RuntimeError(errc::SubscriptOutOfRange);
            return rows[row - 1];
        };
        parameters::DefaultValueSources sources;
        sources.substitute = [&](const Text& x, std::size_t bound) {
            if (x.find(u'@') == Text::npos) return x;
            const Text out = parameters::substituteReferences(x, rowValue, bound);
            check(out.size() <= bound, "past the bound", x);
            // Each reference gives at most one row's value, and every "@" of the text is read.
            check(out.size() <= x.size() + count(x, u'@') * longest, "references grew", x);
            bool valuesHoldAt = false;
            for (const Text& r : rows) valuesHoldAt = valuesHoldAt || r.find(u'@') != Text::npos;
            if (!valuesHoldAt) check(out.find(u'@') == Text::npos, "a reference left", x);
            return out;
        };
        sources.query = firstValue;
        sources.now = now;
        const auto value =
            attempt([&] { return parameters::defaultValue(line, sources); },
                    {errc::InvalidProcedureCall, errc::TypeMismatch, errc::SubscriptOutOfRange,
                     kNoCurrentRecord, kSyntaxError, parameters::kOutOfStringSpace},
                    line);
        // A failed start value ends the window's build, as the engine does.
        if (!value.ok()) break;
        check(value.value->size() <= parameters::kLongestStartValue, "a start value too long",
              line);
        const Text lower = lcase(line);
        if (lower.find(u"fn{") == Text::npos && lower.find(u"fl[") == Text::npos)
            check(*value.value == line, "a literal line changed", line);
        const Text inside = parameters::functionText(line);
        if (inside == u"ANOCORRENTE") check(*value.value == u"2026", "ANOCORRENTE", line);
        if (inside == u"MESCORRENTE") check(*value.value == u"7", "MESCORRENTE", line);
        if (inside == u"DIACORRENTE") check(*value.value == u"14", "DIACORRENTE", line);
        if (startsWith(inside, u"=") && inside.find(u'@') == Text::npos)
            check(*value.value == inside.substr(1), "a literal value changed", line);
        rows.push_back(value.value->substr(0, kTextBoxUnits));
    }
    return 0;
}
