// The type library embedded in this DLL (resource TYPELIB 1) and the IDispatch that it
// gives our dual interfaces: names and DISPIDs, argument coercion and the call into the
// vtable slot all come from ITypeInfo (DispGetIDsOfNames, ITypeInfo::Invoke).
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <vector>

#include "platform/win32/com_handles.h"

namespace vantrel::platform::win32 {

// The module's type library, loaded once (not registered by loading).
HRESULT moduleTypeLib(ITypeLib** out);
HRESULT moduleTypeInfo(REFGUID guid, ITypeInfo** out);
// Drops the cached library (DLL unload).
void releaseModuleTypeLib();

// Parameter passing of the event methods: every parameter is a VARIANT* or an IDispatch**,
// and both are by reference. A late-bound caller may pass by value, pass a typed reference,
// pass fewer arguments or pass a value that is no object where an object is expected;
// the arguments are arranged so that ITypeInfo::Invoke can always make the call:
//  - VARIANT*: the caller's VARIANT by reference when it gave one (VT_BYREF|VT_VARIANT, or
//    its typed VT_BYREF slot, which the method then writes through with coercion), else a
//    private copy whose changes go nowhere;
//  - IDispatch**: the caller's pointer variable when it gave one, else a private slot with
//    the object, null for Empty/missing, or an object that answers every call with "Type
//    mismatch" for any other value;
//  - a missing argument is Empty (VARIANT*) or Nothing (IDispatch**).
class EventArguments {
public:
    enum class Kind { Variant, Dispatch, Other };
    // Kinds of the parameters of the function `id` in `info`; false when it is not a
    // method whose parameters are all VARIANT* or IDispatch**.
    static bool kindsOf(ITypeInfo* info, DISPID id, std::vector<Kind>& kinds);

    EventArguments(const std::vector<Kind>& kinds, const DISPPARAMS& caller);
    EventArguments(const EventArguments&) = delete;
    EventArguments& operator=(const EventArguments&) = delete;
    ~EventArguments();
    // DISP_E_BADPARAMCOUNT / DISP_E_PARAMNOTFOUND when the call cannot be arranged.
    HRESULT status() const { return status_; }
    DISPPARAMS* params() { return &params_; }

private:
    HRESULT status_ = S_OK;
    VariantVector slots_;              // what ITypeInfo::Invoke gets, reversed
    VariantVector copies_;             // private values of by-value VARIANT arguments
    std::vector<IDispatch*> objects_;  // private IDispatch* slots (owned references)
    DISPPARAMS params_{};
};

// The arguments of any other call (the properties of _Result, the toggles), as values of
// their own. ITypeInfo::Invoke gives an [in, out] parameter that was passed by value a
// temporary, and on the way out Wine's stores the temporary back into that argument with
// VariantChangeType, which clears the argument first: handed the caller's VARIANTs (or
// shallow copies of what they refer to), it would free the caller's string and leave the
// caller reading freed memory. Copies (VariantCopyInd, so references are read through)
// keep the caller's values out of its reach.
class ValueArguments {
public:
    explicit ValueArguments(const DISPPARAMS& caller);
    HRESULT status() const { return status_; }
    UINT failedIndex() const { return failed_; }
    DISPPARAMS* params() { return &params_; }

private:
    HRESULT status_ = S_OK;
    UINT failed_ = 0;
    VariantVector values_;
    DISPPARAMS params_{};
};

// An IDispatch whose every call fails with "Type mismatch": what an IDispatch** parameter
// receives for a value that is not an object.
IDispatch* newMismatchObject();

// IDispatch for a dual interface `Interface` of ours, implemented by the type library.
template <class Interface>
class TypeInfoDispatch : public Interface {
public:
    using ComInterface = Interface;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return moduleTypeInfo(__uuidof(Interface), out);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        ComPtr<ITypeInfo> info;
        HRESULT hr = moduleTypeInfo(__uuidof(Interface), info.put());
        if (FAILED(hr)) return hr;
        return DispGetIDsOfNames(info.get(), names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) override {
        ComPtr<ITypeInfo> info;
        HRESULT hr = moduleTypeInfo(__uuidof(Interface), info.put());
        if (FAILED(hr)) return hr;
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        if (!params) params = &none;
        if (params->cArgs > 0 && !params->rgvarg) return E_INVALIDARG;
        try {
            std::vector<EventArguments::Kind> kinds;
            if ((flags & DISPATCH_METHOD) && EventArguments::kindsOf(info.get(), id, kinds)) {
                EventArguments arranged(kinds, *params);
                if (FAILED(arranged.status())) return arranged.status();
                return info->Invoke(static_cast<Interface*>(this), id, DISPATCH_METHOD,
                                    arranged.params(), result, excep, argErr);
            }
            ValueArguments values(*params);
            if (FAILED(values.status())) {
                if (argErr) *argErr = values.failedIndex();
                return values.status();
            }
            return info->Invoke(static_cast<Interface*>(this), id, flags, values.params(), result,
                                excep, argErr);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
};

}  // namespace vantrel::platform::win32
