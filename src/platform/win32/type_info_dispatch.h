// The IDispatch that the module's type library gives our dual interfaces: names and
// DISPIDs, argument coercion and the call into the vtable slot all come from ITypeInfo
// (DispGetIDsOfNames, ITypeInfo::Invoke).
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <vector>

#include "platform/win32/com_handles.h"
#include "platform/win32/invoke_arguments.h"
#include "platform/win32/type_library.h"

namespace vantrel::platform::win32 {

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
