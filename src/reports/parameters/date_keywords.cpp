#include "reports/parameters/date_keywords.h"

#include <string>

#include "automation/datetime.h"

namespace vantrel::reports::parameters {

using automation::Text;
using automation::TextView;

namespace {

Text number(int n) {
    return automation::fromUtf8(std::to_string(n));
}

}  // namespace

Text expandDateKeyword(TextView line, double now) {
    const Text keyword = automation::ucase(automation::trim(line));
    const automation::DateParts today = automation::splitDate(now);
    const Text monthYear = number(today.month) + u"-" + number(today.year);
    if (keyword == u"PRIMEIRODIAMES") return u"01-" + monthYear;
    if (keyword == u"ULTIMODIAMES") {
        // The true last day of the month: 29 in February of a leap year.
        return number(automation::daysInMonth(today.year, today.month)) + u"-" + monthYear;
    }
    if (keyword == u"PRIMEIRODIAANO") return u"01-01-" + number(today.year);
    if (keyword == u"ULTIMODIAANO") return u"31-12-" + number(today.year);
    if (keyword == u"DATAHOJE") return automation::formatDate(now);
    if (!automation::trim(line).empty()) return Text(line);
    return automation::formatDate(now);
}

}  // namespace vantrel::reports::parameters
