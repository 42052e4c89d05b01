// The rows a stand-in report shows. A report file may carry a query (report_file.h): SQL over
// the company database its first table is bound to, where "{?Name}" stands for the current
// values of the parameter field Name (any case). The databases of the report's other tables
// are attached too, so a report whose first table lives in the main database still finds its
// document tables by their plain names.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "automation/variant.h"

namespace vantrel::substitutes::reports {

// One value of a row: its text as the outputs show it, by the current locale, and what a
// spreadsheet keeps as such: the number SQLite holds, with the decimals its column shows, or
// the date serial of a text "yyyy-mm-dd" (optionally with " hh:mm[:ss]").
//
// A column in which any number has a fraction shows all its numbers with the same decimals,
// grouped by thousands: two, or up to four when a value needs them, so amounts line up
// ("10,00", "10,80") and a price of 0,125 keeps its last digit. A column of whole numbers
// shows them as they are ("100").
struct ReportCell {
    automation::Text text;
    std::optional<double> number;
    int decimals = 0;
    std::optional<double> date;
};

struct ReportRows {
    std::vector<automation::Text> columns;
    std::vector<std::vector<ReportCell>> rows;
};

// A parameter field's name and its current values, as the query sees them.
struct QueryParameter {
    automation::Text name;
    std::vector<automation::Variant> values;
};

// The values as one SQL literal list: texts between apostrophes (apostrophes doubled),
// numbers in plain decimal with ".", dates 'yyyy-mm-dd' (with the time when there is one),
// booleans 1 or 0, several values joined by ","; no value at all is NULL.
automation::Text sqlLiteral(const std::vector<automation::Variant>& values);

// The query with every "{?Name}" replaced by its parameter's literal list. A name that is no
// parameter of the report is a RuntimeError.
automation::Text spliceParameters(automation::TextView query,
                                  const std::vector<QueryParameter>& parameters);

// Runs `sql` over the catalog's SQLite file, read-only, with `attached` catalogs attached
// after it. A missing database or SQL it refuses is a RuntimeError naming the cause.
ReportRows runReportQuery(automation::TextView catalog,
                          const std::vector<automation::Text>& attached, automation::TextView sql);

}  // namespace vantrel::substitutes::reports
