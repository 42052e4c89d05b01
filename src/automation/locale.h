// The user's number and date conventions. Conversions between texts and numbers or dates
// follow the locale in force on the calling thread: each call into a system module runs
// under the locale of the platform that object was given (ScopedLocale at its entry), so two
// objects with different conventions can live in one process and nothing is set at load.
#pragma once

#include <array>
#include <optional>

#include "automation/text.h"

namespace vantrel::automation {

enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };

struct Locale {
    char16_t decimalSeparator = u',';
    char16_t thousandsSeparator = u'.';
    DateOrder dateOrder = DateOrder::DayMonthYear;
    char16_t dateSeparator = u'-';
    bool dayLeadingZero = true;  // short date shows 07 rather than 7
    bool monthLeadingZero = true;
    char16_t timeSeparator = u':';
    bool twelveHourClock = false;   // h:mm:ss AM/PM instead of HH:mm:ss
    Text trueName = u"Verdadeiro";  // names the runtime also accepts for Booleans
    Text falseName = u"Falso";
    Text currencySymbol = u"€";  // number texts may carry it before or after the number
    // Month names that texts to dates may spell instead of the month's number.
    std::array<Text, 12> monthNames{u"janeiro",  u"fevereiro", u"março",    u"abril",
                                    u"maio",     u"junho",     u"julho",    u"agosto",
                                    u"setembro", u"outubro",   u"novembro", u"dezembro"};
    std::array<Text, 12> monthAbbreviations{u"jan.", u"fev.", u"mar.", u"abr.", u"mai.", u"jun.",
                                            u"jul.", u"ago.", u"set.", u"out.", u"nov.", u"dez."};

    static Locale portugal();      // dd-MM-yyyy HH:mm:ss, 1.234,5
    static Locale unitedStates();  // M/d/yyyy h:mm:ss AM, 1,234.5

    // The conventions assumed where no call has said otherwise: Portugal's.
    static const Locale& systemDefault();
    // The locale in force on this thread: the innermost ScopedLocale's, else systemDefault().
    static const Locale& current();
};

// Puts a locale in force on this thread until the end of the scope, then restores the one
// before. A named locale is referred to, not copied (calls enter often, and a Locale holds
// some thirty texts), so it must outlive the scope; a temporary is kept by the scope itself.
class ScopedLocale {
public:
    explicit ScopedLocale(const Locale& locale);
    explicit ScopedLocale(Locale&& locale);
    ~ScopedLocale();
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    std::optional<Locale> owned_;
    const Locale* saved_;
};

}  // namespace vantrel::automation
