// libFuzzer target for the date keywords of the parameter description file, on a fixed day
// taken from the input, in the Portuguese and the United States locales. Build and run: see
// fuzz/README.md.
//
// Input: 6 bytes choose today (date and time), the rest is the line (UTF-8).
#include <cstdint>
#include <string>

#include "automation/datetime.h"
#include "automation/locale.h"
#include "fuzz_support.h"
#include "reports/parameters/date_keywords.h"

namespace {

using namespace vantrel::automation;
using vantrel::fuzzing::check;
using vantrel::reports::parameters::expandDateKeyword;

// The day, month and year a keyword text names, read as the date control reads it here.
DateParts readBack(const Text& text) {
    const auto d = parseDate(text, Locale::portugal());
    check(d.has_value(), "a keyword's date does not read as a date", text);
    return splitDate(*d);
}

void expand(const Text& line, double now, const DateParts& today) {
    const Text result = expandDateKeyword(line, now);
    const Text keyword = ucase(trim(line));
    int day = 0, month = today.month;
    if (keyword == u"PRIMEIRODIAMES") {
        day = 1;
    } else if (keyword == u"ULTIMODIAMES") {
        day = daysInMonth(today.year, today.month);
    } else if (keyword == u"PRIMEIRODIAANO") {
        day = 1, month = 1;
    } else if (keyword == u"ULTIMODIAANO") {
        day = 31, month = 12;
    } else if (keyword == u"DATAHOJE" || keyword.empty()) {
        // Today in the locale's general format, to the second.
        const auto back = parseDate(result, Locale::current());
        check(back && *back == now, "today does not read back", result);
        return;
    } else {
        check(result == line, "a literal line changed", line);
        return;
    }
    const DateParts got = readBack(result);
    check(got.day == day && got.month == month && got.year == today.year && got.hour == 0,
          "a keyword names another day", result);
    // The month keywords write month and year without leading zeros ("01-7-2026"); the year
    // keywords write "01-01-" and "31-12-".
    const std::string y = std::to_string(today.year);
    const std::string expected =
        keyword == u"PRIMEIRODIAANO" ? "01-01-" + y
        : keyword == u"ULTIMODIAANO"
            ? "31-12-" + y
            : (day < 10 ? "0" : "") + std::to_string(day) + "-" + std::to_string(month) + "-" + y;
    check(result == fromUtf8(expected), "a keyword's text is not day-month-year", result);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6 || size > 512) return 0;
    // Any second of the years 100 to 9999.
    const int year = 100 + (data[0] | (data[1] << 8)) % 9900;
    const int dayOfYear = (data[2] | ((data[3] & 1) << 8)) % (isLeapYear(year) ? 366 : 365);
    const int second = (data[4] | (data[5] << 8) | ((data[3] >> 1) << 16)) % 86400;
    const double now =
        makeDate(year, 1, 1 + dayOfYear, second / 3600, second / 60 % 60, second % 60);
    const DateParts today = splitDate(now);
    const Text line = fromUtf8(vantrel::fuzzing::bytesOf(data + 6, size - 6));
    for (const Locale& locale : {Locale::portugal(), Locale::unitedStates()}) {
        ScopedLocale scoped(locale);
        expand(line, now, today);
    }
    return 0;
}
