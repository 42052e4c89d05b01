#include "late_binding.h"

namespace vantrel::wine {

using platform::win32::ComPtr;
using platform::win32::UniqueVariant;

VARIANT vEmpty() {
    VARIANT v;
    VariantInit(&v);
    return v;
}
VARIANT vNull() {
    VARIANT v = vEmpty();
    v.vt = VT_NULL;
    return v;
}
VARIANT vStr(const std::wstring& s) {
    VARIANT v = vEmpty();
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    return v;
}
VARIANT vI4(long n) {
    VARIANT v = vEmpty();
    v.vt = VT_I4;
    v.lVal = n;
    return v;
}
VARIANT vI2(short n) {
    VARIANT v = vEmpty();
    v.vt = VT_I2;
    v.iVal = n;
    return v;
}
VARIANT vR8(double d) {
    VARIANT v = vEmpty();
    v.vt = VT_R8;
    v.dblVal = d;
    return v;
}
VARIANT vBool(bool b) {
    VARIANT v = vEmpty();
    v.vt = VT_BOOL;
    v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}
VARIANT vDisp(IDispatch* d) {
    VARIANT v = vEmpty();
    v.vt = VT_DISPATCH;
    v.pdispVal = d;
    if (d) d->AddRef();
    return v;
}
VARIANT vRef(VARIANT* target) {
    VARIANT v = vEmpty();
    v.vt = VT_BYREF | VT_VARIANT;
    v.pvarVal = target;
    return v;
}
VARIANT vDispRef(IDispatch** target) {
    VARIANT v = vEmpty();
    v.vt = VT_BYREF | VT_DISPATCH;
    v.ppdispVal = target;
    return v;
}
VARIANT vBstrRef(BSTR* target) {
    VARIANT v = vEmpty();
    v.vt = VT_BYREF | VT_BSTR;
    v.pbstrVal = target;
    return v;
}
VARIANT vArray(const std::vector<long>& values) {
    VARIANT v = vEmpty();
    SAFEARRAY* a = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(values.size()));
    for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) {
        VARIANT e = vI4(values[static_cast<std::size_t>(i)]);
        SafeArrayPutElement(a, &i, &e);
    }
    v.vt = VT_ARRAY | VT_VARIANT;
    v.parray = a;
    return v;
}
VARIANT vMatrix() {
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    VARIANT v = vEmpty();
    v.vt = VT_ARRAY | VT_VARIANT;
    v.parray = SafeArrayCreate(VT_VARIANT, 2, bounds);
    return v;
}

namespace {
Outcome invoke(IDispatch* object, const wchar_t* name, std::vector<VARIANT> reversed, WORD flags) {
    Outcome out;
    DISPID id = 0;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    out.hr =
        object ? object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id) : E_POINTER;
    if (SUCCEEDED(out.hr)) {
        DISPID putId = DISPID_PROPERTYPUT;
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        if (flags & DISPATCH_PROPERTYPUT) {
            params.rgdispidNamedArgs = &putId;
            params.cNamedArgs = 1;
        }
        EXCEPINFO excep{};
        UINT argErr = 0;
        out.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                (flags & DISPATCH_PROPERTYPUT) ? nullptr : out.result.get(), &excep,
                                &argErr);
        if (out.hr == DISP_E_EXCEPTION) {
            if (excep.pfnDeferredFillIn) excep.pfnDeferredFillIn(&excep);
            if (excep.bstrDescription) out.description = excep.bstrDescription;
            out.scode = excep.scode;
            SysFreeString(excep.bstrDescription);
            SysFreeString(excep.bstrSource);
            SysFreeString(excep.bstrHelpFile);
        }
    }
    return out;
}
}  // namespace

Outcome call(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args, WORD flags) {
    Outcome out = invoke(object, name, {args.rbegin(), args.rend()}, flags);
    for (auto& a : args)
        if ((a.vt & VT_BYREF) == 0) VariantClear(&a);
    return out;
}

Outcome put(IDispatch* object, const wchar_t* name, VARIANT value) {
    return call(object, name, {value}, DISPATCH_PROPERTYPUT);
}

Outcome putBorrowed(IDispatch* object, const wchar_t* name, const VARIANT& value) {
    return invoke(object, name, {value}, DISPATCH_PROPERTYPUT);
}

ComPtr<IDispatch> getObject(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args) {
    Outcome o = call(object, name, std::move(args));
    if (FAILED(o.hr) || o.result->vt != VT_DISPATCH || !o.result->pdispVal) return nullptr;
    return ComPtr<IDispatch>::share(o.result->pdispVal);
}

ComPtr<IDispatch> create(const wchar_t* progId, HRESULT* hrOut) {
    CLSID clsid;
    ComPtr<IDispatch> d;
    HRESULT hr = CLSIDFromProgID(progId, &clsid);
    if (SUCCEEDED(hr))
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(d.put()));
    if (hrOut) *hrOut = hr;
    return d;
}

std::wstring textOf(const VARIANT& v) {
    UniqueVariant t;
    if (FAILED(VariantChangeType(t.get(), const_cast<VARIANT*>(&v), 0, VT_BSTR))) return L"";
    return t->bstrVal ? std::wstring(t->bstrVal, SysStringLen(t->bstrVal)) : L"";
}

double numberOf(const VARIANT& v) {
    UniqueVariant t;
    if (FAILED(VariantChangeType(t.get(), const_cast<VARIANT*>(&v), 0, VT_R8))) return -999999;
    return t->dblVal;
}

}  // namespace vantrel::wine
