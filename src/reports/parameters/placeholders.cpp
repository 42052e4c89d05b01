#include "reports/parameters/placeholders.h"

#include <string>

#include "automation/datetime.h"
#include "automation/runtime_error.h"
#include "automation/variant.h"

namespace vantrel::reports::parameters {

using automation::RuntimeError;
using automation::Text;
using automation::TextView;
namespace errc = automation::errc;

namespace {

Text number(int n) {
    return automation::fromUtf8(std::to_string(n));
}

// A two-character number field of a reference, read as CInt reads it.
std::int16_t referenceNumber(TextView digits) {
    return automation::Variant(Text(digits)).toInteger();
}

Text leftPart(const Text& value, std::int16_t count) {
    if (count < 0) throw RuntimeError(errc::InvalidProcedureCall);
    return automation::left(value, static_cast<std::size_t>(count));
}

Text rightPart(const Text& value, std::int16_t count) {
    if (count < 0) throw RuntimeError(errc::InvalidProcedureCall);
    return automation::right(value, static_cast<std::size_t>(count));
}

Text midPart(const Text& value, std::int16_t start, std::int16_t count) {
    if (start < 1 || count < 0) throw RuntimeError(errc::InvalidProcedureCall);
    return automation::mid(value, static_cast<std::size_t>(start), static_cast<std::size_t>(count));
}

}  // namespace

Text functionText(TextView line) {
    const std::size_t a = automation::instr(automation::lcase(line), u"fn{");
    if (a == 0) return Text();
    const std::size_t b = automation::instr(a, line, u"}");
    if (b == 0) return Text();
    return automation::mid(line, a + 3, b - a - 3);
}

Text listText(TextView line) {
    const std::size_t a = automation::instr(automation::lcase(line), u"fl[");
    if (a == 0) return Text();
    const Text rest = automation::trim(automation::mid(line, a + 3));
    if (rest.empty()) return Text();
    return automation::left(rest, rest.size() - 1);
}

Text substituteReferences(TextView expression, const RowValueReader& rowValue,
                          std::size_t longest) {
    Text work(expression);
    // Searching resumes after each inserted value: a value that holds "@" (an e-mail address,
    // or a reference typed by the user) would otherwise be read again, and a value that
    // refers to its own row would never end.
    std::size_t from = 1;
    while (true) {
        const std::size_t at = automation::instr(from, work, u"@");
        if (at == 0) break;
        const Text reference = automation::mid(work, at, 8);
        const std::int16_t row = referenceNumber(automation::mid(reference, 2, 2));
        const Text function = automation::mid(reference, 4, 1);
        const Text value = rowValue(row);
        Text part;
        if (function == u"L") {
            part = leftPart(value, referenceNumber(automation::mid(reference, 5, 2)));
        } else if (function == u"R") {
            part = rightPart(value, referenceNumber(automation::mid(reference, 5, 2)));
        } else if (function == u"M") {
            part = midPart(value, referenceNumber(automation::mid(reference, 5, 2)),
                           referenceNumber(automation::mid(reference, 7, 2)));
        } else {
            part = value;
        }
        // Measured before anything is built: a text past the bound is never made.
        if (part.size() > reference.size() &&
            work.size() - reference.size() + part.size() > longest)
            throw StartValueTooLong();
        work = automation::left(work, at - 1) + part + automation::mid(work, at + 8);
        from = at + part.size();
    }
    return work;
}

Text defaultValue(TextView line, const DefaultValueSources& sources) {
    auto bounded = [](Text value) {
        if (value.size() > kLongestStartValue) throw StartValueTooLong();
        return value;
    };
    const Text lower = automation::lcase(line);
    if (automation::instr(lower, u"fl[") == 0 && automation::instr(lower, u"fn{") == 0) {
        return bounded(Text(line));
    }
    Text x = functionText(line);
    if (automation::trim(x).empty()) return Text();
    // One more character than a value may hold, for the "=" that goes.
    x = sources.substitute(x, kLongestStartValue + 1);
    if (automation::startsWith(x, u"=")) return bounded(x.substr(1));
    const automation::DateParts today = automation::splitDate(sources.now);
    if (x == u"ANOCORRENTE") return number(today.year);
    if (x == u"MESCORRENTE") return number(today.month);
    if (x == u"DIACORRENTE") return number(today.day);
    return bounded(sources.query(x));
}

}  // namespace vantrel::reports::parameters
