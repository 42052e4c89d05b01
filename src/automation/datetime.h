// Dates as the automation runtime holds them: a double counting days from 30 December 1899,
// the fraction being the time of day.
#pragma once

#include <cstdint>
#include <optional>

#include "automation/locale.h"
#include "automation/text.h"

namespace vantrel::automation {

struct DateParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

bool isLeapYear(int year);
int daysInMonth(int year, int month);

// DateSerial + TimeSerial. Throws RuntimeError 5 for a date outside years 100..9999.
double makeDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
DateParts splitDate(double date);

// The locale's general date format: date alone at midnight, time alone on day 0 (0 itself
// shows as midnight), date and time whenever there is a fraction of a day.
Text formatDate(double date, const Locale& locale = Locale::current());
// A stamp that ignores the locale, for logs and file names: "2026-12-08 15:40:12", or with
// `compact` "20261208-154012".
Text timestamp(double date, bool compact = false);
// Just the date part in the locale's short date format.
Text formatShortDate(double date, const Locale& locale = Locale::current());

// Reads a date (and optional time) by the locale's date order; a four-digit first number
// means year first, an order the locale makes impossible is read the other way round, the
// locale's month names may stand for the month, and a month with its four-digit year alone
// is that month's first day. Two-digit years 0-29 are 2000-2029, 30-99 are 1930-1999.
[[nodiscard]] std::optional<double> parseDate(TextView text,
                                              const Locale& locale = Locale::current());

// The machine's clock as a date; the platform layer may replace it (tests fix the day).
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
};

class SystemClock final : public Clock {
public:
    double now() const override;
};

}  // namespace vantrel::automation
