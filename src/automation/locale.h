// The user's number and date conventions. Conversions between texts and numbers or dates
// follow the current locale; tests set it with ScopedLocale so results do not depend on
// the machine.
#pragma once

#include <array>

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

    // The locale in force for every conversion of this process.
    static const Locale& current();
    static void setCurrent(const Locale& locale);
};

// Sets the current locale for one scope (tests, and the Windows layer per call).
class ScopedLocale {
public:
    explicit ScopedLocale(const Locale& locale) : saved_(Locale::current()) {
        Locale::setCurrent(locale);
    }
    ~ScopedLocale() { Locale::setCurrent(saved_); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    Locale saved_;
};

}  // namespace vantrel::automation
