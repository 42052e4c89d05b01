// The arguments of a late-bound call, arranged for ITypeInfo::Invoke on one of our dual
// interfaces (see TypeInfoDispatch).
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <vector>

#include "platform/win32/com_handles.h"

namespace vantrel::platform::win32 {

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

}  // namespace vantrel::platform::win32
