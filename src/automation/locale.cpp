#include "automation/locale.h"

#include <utility>

namespace vantrel::automation {

namespace {
// Null while no scope is open on the thread.
thread_local const Locale* inForce = nullptr;
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

const Locale& Locale::systemDefault() {
    static const Locale locale = portugal();
    return locale;
}

const Locale& Locale::current() {
    return inForce ? *inForce : systemDefault();
}

ScopedLocale::ScopedLocale(const Locale& locale) : saved_(inForce) {
    inForce = &locale;
}

ScopedLocale::ScopedLocale(Locale&& locale) : owned_(std::move(locale)), saved_(inForce) {
    inForce = &*owned_;
}

ScopedLocale::~ScopedLocale() {
    inForce = saved_;
}

}  // namespace vantrel::automation
