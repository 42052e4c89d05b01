// Start values of text rows. A line of the parameter description file is either a literal
// value or holds placeholders:
//   fn{...}  the value: "=" and a literal, ANOCORRENTE / MESCORRENTE / DIACORRENTE, or an
//            SQL query whose first column of the first row is the value;
//   fl[...]  the list definition for the row's Lista control (meant to end the line);
// and inside fn{...} references "@RRFAABB" to the values of other rows: row RR, function F
// ("L" first AA characters, "R" last AA, "M" BB characters from AA, anything else the whole
// value).
#pragma once

#include <cstdint>
#include <functional>

#include "automation/text.h"

namespace vantrel::reports::parameters {

using automation::Text;
using automation::TextView;

// The inside of the first "fn{" ... "}" ("FN{" too), case kept; empty when there is none.
Text functionText(TextView line);

// Everything after "fl[" ("FL[" too), trimmed, less its last character; empty when there is
// no "fl[" or nothing after it.
Text listText(TextView line);

// The value of prompt row `row` (1 is the top row).
using RowValueReader = std::function<Text(std::int16_t row)>;

// Replaces every "@RRFAABB" reference by the part of row RR's value that F selects. Number
// fields that are not numbers raise error 13; a negative length or a start of 0 raise
// error 5; a row the reader does not know raises whatever the reader raises. A value that
// itself holds "@" is inserted as it is and not read again as a reference.
Text substituteReferences(TextView expression, const RowValueReader& rowValue);

struct DefaultValueSources {
    std::function<Text(const Text&)> substitute;  // Substitui
    std::function<Text(const Text&)> query;       // first value of an SQL query, "" for Null
    double now = 0;
};

// The start value of a text row for one line of the parameter description file.
Text defaultValue(TextView line, const DefaultValueSources& sources);

}  // namespace vantrel::reports::parameters
