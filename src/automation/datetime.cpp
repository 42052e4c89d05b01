#include "automation/datetime.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "automation/runtime_error.h"

namespace vantrel::automation {

namespace {

// Days since 1970-01-01 for a proleptic Gregorian date (H. Hinnant's algorithm).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

const long long kEpoch = daysFromCivil(1899, 12, 30);
// 31 December 9999, the last day a date can hold.
constexpr double kLastDay = 2958465;

Text number(int value, bool pad) {
    std::string s = std::to_string(value);
    if (pad && s.size() < 2) s.insert(s.begin(), '0');
    return fromUtf8(s);
}

Text formatTime(const DateParts& p, const Locale& locale) {
    Text out;
    if (locale.twelveHourClock) {
        int h = p.hour % 12;
        if (h == 0) h = 12;
        out = number(h, false);
    } else {
        out = number(p.hour, true);
    }
    out += locale.timeSeparator;
    out += number(p.minute, true);
    out += locale.timeSeparator;
    out += number(p.second, true);
    if (locale.twelveHourClock) out += p.hour < 12 ? u" AM" : u" PM";
    return out;
}

}  // namespace

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && isLeapYear(year)) return 29;
    return kDays[(month - 1) % 12];
}

double makeDate(int year, int month, int day, int hour, int minute, int second) {
    // DateSerial lets months and days run over into the next unit.
    long long y = year;
    long long m = month - 1;
    y += m >= 0 ? m / 12 : -((11 - m) / 12);
    m = ((m % 12) + 12) % 12;
    long long days = daysFromCivil(y, static_cast<unsigned>(m + 1), 1) + (day - 1) - kEpoch;
    if (y < 100 || y > 9999) throw RuntimeError(errc::InvalidProcedureCall);
    double time = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    // Before the epoch the fraction counts away from zero, as OLE dates do.
    return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

Text timestamp(double date, bool compact) {
    DateParts d = splitDate(date);
    char buf[32];
    std::snprintf(buf, sizeof buf,
                  compact ? "%04d%02d%02d-%02d%02d%02d" : "%04d-%02d-%02d %02d:%02d:%02d", d.year,
                  d.month, d.day, d.hour, d.minute, d.second);
    return fromUtf8(buf);
}

DateParts splitDate(double date) {
    DateParts p;
    double whole = std::trunc(date);
    double frac = std::fabs(date - whole);
    long long seconds = std::llround(frac * 86400.0);
    if (seconds >= 86400) {
        // The last second of 31 December 9999 has no next day to round into.
        if (whole >= kLastDay) {
            seconds = 86399;
        } else {
            seconds -= 86400;
            whole += date >= 0 ? 1 : -1;
        }
    }
    civilFromDays(static_cast<long long>(whole) + kEpoch, p.year, p.month, p.day);
    p.hour = static_cast<int>(seconds / 3600);
    p.minute = static_cast<int>((seconds / 60) % 60);
    p.second = static_cast<int>(seconds % 60);
    return p;
}

Text formatShortDate(double date, const Locale& locale) {
    DateParts p = splitDate(date);
    Text d = number(p.day, locale.dayLeadingZero);
    Text m = number(p.month, locale.monthLeadingZero);
    Text y = fromUtf8(std::to_string(p.year));
    Text sep(1, locale.dateSeparator);
    switch (locale.dateOrder) {
        case DateOrder::DayMonthYear:
            return d + sep + m + sep + y;
        case DateOrder::MonthDayYear:
            return m + sep + d + sep + y;
        case DateOrder::YearMonthDay:
            return y + sep + m + sep + d;
    }
    return d + sep + m + sep + y;
}

Text formatDate(double date, const Locale& locale) {
    DateParts p = splitDate(date);
    // Any fraction shows the time, even one that rounds to midnight; day 0 shows only it.
    bool hasTime = date != std::trunc(date);
    if (std::trunc(date) == 0) return formatTime(p, locale);
    if (!hasTime) return formatShortDate(date, locale);
    return formatShortDate(date, locale) + u" " + formatTime(p, locale);
}

namespace {

// The month a name at the start of text stands for (1..12), full name or abbreviation,
// upper or lower case, not followed by another letter or a point (the point belongs to the
// abbreviations that have one); 0 when none.
int readMonthName(TextView text, const Locale& locale, std::size_t& length) {
    for (const auto* names : {&locale.monthNames, &locale.monthAbbreviations}) {
        for (int m = 0; m < 12; ++m) {
            const Text& name = (*names)[m];
            if (name.empty() || text.size() < name.size()) continue;
            if (!equalsIgnoreCase(text.substr(0, name.size()), name)) continue;
            char16_t next = text.size() > name.size() ? text[name.size()] : u' ';
            if (next == u'.' || ucase(TextView(&next, 1)) != lcase(TextView(&next, 1))) continue;
            length = name.size();
            return m + 1;
        }
    }
    return 0;
}

struct DateFields {
    std::vector<int> numbers;
    int firstDigits = 0;
    int namedMonth = 0;
};

// Which number is the day, the month and the year. Like oleaut32, an order the locale makes
// impossible is read the other way round (13/12 is the 13th of December everywhere), and a
// month (number or name) with a four-digit year alone means the first of that month.
bool assignDate(const DateFields& f, DateOrder order, int& year, int& month, int& day) {
    const auto& n = f.numbers;
    if (f.namedMonth != 0) {
        month = f.namedMonth;
        if (n.size() == 1 && n[0] >= 100) {
            year = n[0];
            day = 1;
            return year <= 9999;
        }
        if (n.size() != 2) return false;
        bool yearFirst = f.firstDigits >= 3 || n[0] > 31;
        year = yearFirst ? n[0] : n[1];
        day = yearFirst ? n[1] : n[0];
    } else if (n.size() == 2) {
        if (f.firstDigits >= 3) {
            year = n[0];
            month = n[1];
        } else if (n[1] >= 100) {
            month = n[0];
            year = n[1];
        } else {
            return false;
        }
        day = 1;
    } else if (n.size() == 3) {
        if (f.firstDigits >= 3 || order == DateOrder::YearMonthDay) {
            year = n[0], month = n[1], day = n[2];
        } else if (order == DateOrder::MonthDayYear) {
            month = n[0], day = n[1], year = n[2];
        } else {
            day = n[0], month = n[1], year = n[2];
        }
        if (month > 12 && day <= 12) std::swap(month, day);
    } else {
        return false;
    }
    if (year < 100 && f.firstDigits < 3) year += year < 30 ? 2000 : 1900;
    // A year written with three digits or more stays as written, and below 100 is no date.
    return year >= 100 && month >= 1 && month <= 12 && year <= 9999 && day >= 1 &&
           day <= daysInMonth(year, month);
}

}  // namespace

std::optional<double> parseDate(TextView text, const Locale& locale) {
    Text s = trim(text);
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < s.size() && (s[i] == u' ' || s[i] == u'\t')) ++i;
    };
    auto readNumber = [&](int& value, int& digits) {
        value = 0;
        digits = 0;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9' && digits < 9) {
            value = value * 10 + (s[i] - u'0');
            ++digits;
            ++i;
        }
        return digits > 0;
    };
    auto isDateSep = [&](char16_t c) {
        return c == locale.dateSeparator || c == u'-' || c == u'/' || c == u'.' || c == u',' ||
               c == u' ';
    };
    // The date part: up to three numbers, or two and a month name, until the time begins.
    DateFields fields;
    for (;;) {
        skipBlanks();
        std::size_t before = i;
        std::size_t nameLength = 0;
        int v, digits;
        if (int m = fields.namedMonth == 0
                        ? readMonthName(TextView(s).substr(i), locale, nameLength)
                        : 0) {
            fields.namedMonth = m;
            i += nameLength;
        } else if (readNumber(v, digits)) {
            // A number followed by the time separator belongs to the time, not the date.
            if (i < s.size() && s[i] == locale.timeSeparator) {
                i = before;
                break;
            }
            if (fields.numbers.empty()) fields.firstDigits = digits;
            fields.numbers.push_back(v);
        } else {
            break;
        }
        std::size_t parts = fields.numbers.size() + (fields.namedMonth != 0);
        if (parts == 3 || i >= s.size() || !isDateSep(s[i])) break;
        ++i;
    }
    int year = 1899, month = 12, day = 30;
    bool hasDate = !fields.numbers.empty() || fields.namedMonth != 0;
    if (hasDate && !assignDate(fields, locale.dateOrder, year, month, day)) return std::nullopt;
    int hour = 0, minute = 0, second = 0;
    skipBlanks();
    if (i < s.size()) {
        int digits;
        if (!readNumber(hour, digits) || i >= s.size() || s[i] != locale.timeSeparator) {
            return std::nullopt;
        }
        ++i;
        if (!readNumber(minute, digits)) return std::nullopt;
        if (i < s.size() && s[i] == locale.timeSeparator) {
            ++i;
            if (!readNumber(second, digits)) return std::nullopt;
        }
        skipBlanks();
        Text rest = ucase(s.substr(i));
        if (rest == u"AM" || rest == u"PM") {
            if (hour < 1 || hour > 12) return std::nullopt;
            if (rest == u"PM" && hour != 12) hour += 12;
            if (rest == u"AM" && hour == 12) hour = 0;
        } else if (!rest.empty()) {
            return std::nullopt;
        }
        if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    } else if (!hasDate) {
        return std::nullopt;
    }
    double datePart = hasDate ? makeDate(year, month, day) : 0.0;
    double time = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    return datePart >= 0 ? datePart + time : datePart - time;
}

double SystemClock::now() const {
    std::time_t t = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    return makeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                    local.tm_min, local.tm_sec);
}

}  // namespace vantrel::automation
