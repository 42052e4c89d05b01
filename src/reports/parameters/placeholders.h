// Start values of text rows. A line of the parameter description file is either a literal
// value or holds placeholders:
//   fn{...}  the value: "=" and a literal, ANOCORRENTE / MESCORRENTE / DIACORRENTE, or an
//            SQL query whose first column of the first row is the value;
//   fl[...]  the list definition for the row's Lista control (meant to end the line);
// and inside fn{...} references "@RRFAABB" to the values of other rows: row RR, function F
// ("L" first AA characters, "R" last AA, "M" BB characters from AA, anything else the whole
// value).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "automation/runtime_error.h"
#include "automation/text.h"

namespace vantrel::reports::parameters {

// The inside of the first "fn{" ... "}" ("FN{" too), case kept; empty when there is none.
automation::Text functionText(automation::TextView line);

// Everything after "fl[" ("FL[" too), trimmed, less its last character; empty when there is
// no "fl[" or nothing after it.
automation::Text listText(automation::TextView line);

// The value of prompt row `row` (1 is the top row).
using RowValueReader = std::function<automation::Text(std::int16_t row)>;

// The most a start value may hold: what a text box takes. Every row's value can be read by
// the rows below it many times over, so without a bound a few lines of references grow
// without end.
inline constexpr std::size_t kLongestStartValue = 65535;
// The runtime's error for a text that cannot grow: "Out of string space".
inline constexpr std::int32_t kOutOfStringSpace = 14;
// Raised for a start value, or a text on its way to one, past kLongestStartValue.
class StartValueTooLong : public automation::RuntimeError {
public:
    StartValueTooLong() : RuntimeError(kOutOfStringSpace) {}
};

// Replaces every "@RRFAABB" reference by the part of row RR's value that F selects. Number
// fields that are not numbers raise error 13; a negative length or a start of 0 raise
// error 5; a row the reader does not know raises whatever the reader raises. A value that
// itself holds "@" is inserted as it is and not read again as a reference. A replacement
// that would make the text longer than `longest` raises error 14 before it is made.
automation::Text substituteReferences(automation::TextView expression,
                                      const RowValueReader& rowValue,
                                      std::size_t longest = automation::Text::npos);

struct DefaultValueSources {
    std::function<automation::Text(const automation::Text&, std::size_t longest)>
        substitute;  // Substitui, bounded
    std::function<automation::Text(const automation::Text&)>
        query;  // first value of an SQL query, "" for Null
    double now = 0;
};

// The start value of a text row for one line of the parameter description file. A value
// longer than kLongestStartValue raises error 14, references being refused before they
// would grow the text past it.
automation::Text defaultValue(automation::TextView line, const DefaultValueSources& sources);

}  // namespace vantrel::reports::parameters
