#include "platform/win32/com_error.h"
#include "platform/win32/com_handles.h"
#include "platform/win32/variant_bridge.h"
#include "platform/win32/win32_components.h"
#include "platform/win32/win32_platform.h"

namespace vantrel::platform::win32 {

using automation::RuntimeError;
using automation::Text;
using automation::TextView;

automation::ObjectRef ComObjectFactory::create(TextView progId) {
    Text name(progId);
    CLSID clsid;
    if (name.empty() || FAILED(CLSIDFromProgID(wide(name), &clsid)))
        throw RuntimeError(automation::errc::CannotCreateObject);
    ComPtr<IDispatch> dispatch;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                  IID_IDispatch, reinterpret_cast<void**>(dispatch.put()));
    if (FAILED(hr)) {
        // The object's own error (its class factory may explain) or 429.
        RuntimeError error = errorFromHresult(hr);
        if (HRESULT_FACILITY(hr) == FACILITY_CONTROL) throw error;
        throw RuntimeError(automation::errc::CannotCreateObject);
    }
    return objectFromDispatch(dispatch.get());
}

namespace {
bool readValue(HKEY root, TextView name, Text& value) {
    UniqueRegKey key;
    if (RegOpenKeyExW(root, kComponentsKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return false;
    Text valueName(name);
    DWORD type = 0, bytes = 0;
    bool ok = false;
    if (RegQueryValueExW(key.get(), wide(valueName), nullptr, &type, nullptr, &bytes) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        if (RegQueryValueExW(key.get(), wide(valueName), nullptr, &type,
                             reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
            value = fromWide(data.c_str());
            ok = !value.empty();
        }
    }
    return ok;
}
}  // namespace

Text RegistryCatalog::progIdOf(TextView component) {
    Text value;
    if (readValue(HKEY_CURRENT_USER, component, value)) return value;
    if (readValue(HKEY_LOCAL_MACHINE, component, value)) return value;
    return interfaces::defaultProgId(component);
}

Text RegistryCatalog::sourceOf(TextView component) {
    Text value;
    if (readValue(HKEY_CURRENT_USER, component, value)) return u"HKCU\\" + fromWide(kComponentsKey);
    if (readValue(HKEY_LOCAL_MACHINE, component, value))
        return u"HKLM\\" + fromWide(kComponentsKey);
    return automation::T("por omissão");
}

namespace {
Text info(LCTYPE type) {
    wchar_t buffer[100] = {};
    int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 100);
    return n > 0 ? fromWide(buffer) : Text();
}
}  // namespace

automation::Locale userLocale() {
    automation::Locale locale = automation::Locale::portugal();
    Text decimal = info(LOCALE_SDECIMAL);
    Text thousands = info(LOCALE_STHOUSAND);
    if (decimal.size() == 1) locale.decimalSeparator = decimal[0];
    if (thousands.size() == 1) locale.thousandsSeparator = thousands[0];
    Text date = info(LOCALE_SDATE);
    if (date.size() == 1) locale.dateSeparator = date[0];
    Text time = info(LOCALE_STIME);
    if (time.size() == 1) locale.timeSeparator = time[0];
    Text order = info(LOCALE_IDATE);  // 0 M-D-Y, 1 D-M-Y, 2 Y-M-D
    if (order == u"0") locale.dateOrder = automation::DateOrder::MonthDayYear;
    if (order == u"1") locale.dateOrder = automation::DateOrder::DayMonthYear;
    if (order == u"2") locale.dateOrder = automation::DateOrder::YearMonthDay;
    locale.dayLeadingZero = info(LOCALE_IDAYLZERO) == u"1";
    locale.monthLeadingZero = info(LOCALE_IMONLZERO) == u"1";
    locale.twelveHourClock = info(LOCALE_ITIME) == u"0";
    // Texts to numbers and dates accept the user's own currency symbol and month names.
    if (Text currency = info(LOCALE_SCURRENCY); !currency.empty()) locale.currencySymbol = currency;
    for (int m = 0; m < 12; ++m) {
        if (Text name = info(LOCALE_SMONTHNAME1 + m); !name.empty()) locale.monthNames[m] = name;
        if (Text abbreviation = info(LOCALE_SABBREVMONTHNAME1 + m); !abbreviation.empty())
            locale.monthAbbreviations[m] = abbreviation;
    }
    return locale;
}

}  // namespace vantrel::platform::win32
