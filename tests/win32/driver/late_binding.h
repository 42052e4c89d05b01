// Late-bound calls as the ERP (or a script) makes them: GetIDsOfNames, then Invoke with
// the arguments in reverse order. Argument values are built with the helpers below; a list
// owns what it holds and clears it afterwards (references stay the caller's).
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <vector>

#include "platform/win32/com_handles.h"

namespace vantrel::wine {

VARIANT vEmpty();
VARIANT vNull();
VARIANT vStr(const std::wstring& s);
VARIANT vI4(long n);
VARIANT vI2(short n);
VARIANT vR8(double d);
VARIANT vBool(bool b);
VARIANT vDisp(IDispatch* d);    // adds a reference of its own
VARIANT vRef(VARIANT* target);  // VT_BYREF|VT_VARIANT
VARIANT vDispRef(IDispatch** target);
VARIANT vBstrRef(BSTR* target);
VARIANT vArray(const std::vector<long>& values);
VARIANT vMatrix();  // 2 x 2 Empty, as VBScript's Dim t(1, 1)

struct Outcome {
    HRESULT hr = S_OK;
    std::wstring description;  // from EXCEPINFO
    long scode = 0;
    platform::win32::UniqueVariant result;
};

// Calls member `name` of `object` with `args` (in their natural order; the list is cleared).
Outcome call(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args,
             WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET);
Outcome put(IDispatch* object, const wchar_t* name, VARIANT value);
// As put, but `value` stays the caller's: passed as it is (by value unless it is a
// reference) and neither copied nor cleared.
Outcome putBorrowed(IDispatch* object, const wchar_t* name, const VARIANT& value);
// Reads an object-valued member (null on failure).
platform::win32::ComPtr<IDispatch> getObject(IDispatch* object, const wchar_t* name,
                                             std::vector<VARIANT> args = {});

platform::win32::ComPtr<IDispatch> create(const wchar_t* progId, HRESULT* hr = nullptr);

std::wstring textOf(const VARIANT& v);  // VariantChangeType to BSTR ("" on failure)
double numberOf(const VARIANT& v);

}  // namespace vantrel::wine
