#include "automation/locale.h"

namespace vantrel::automation {

namespace {
Locale& currentLocale() {
    static Locale locale = Locale::portugal();
    return locale;
}
}  // namespace

Locale Locale::portugal() {
    return Locale{};
}

Locale Locale::unitedStates() {
    Locale l;
    l.decimalSeparator = u'.';
    l.thousandsSeparator = u',';
    l.dateOrder = DateOrder::MonthDayYear;
    l.dateSeparator = u'/';
    l.dayLeadingZero = false;
    l.monthLeadingZero = false;
    l.twelveHourClock = true;
    l.trueName = u"True";
    l.falseName = u"False";
    l.currencySymbol = u"$";
    l.monthNames = {u"January", u"February", u"March",     u"April",   u"May",      u"June",
                    u"July",    u"August",   u"September", u"October", u"November", u"December"};
    l.monthAbbreviations = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                            u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
    return l;
}

const Locale& Locale::current() {
    return currentLocale();
}

void Locale::setCurrent(const Locale& locale) {
    currentLocale() = locale;
}

}  // namespace vantrel::automation
