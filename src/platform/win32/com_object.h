// IUnknown for every COM class of this module, in the spirit of WRL's RuntimeClass: a class
// names the interfaces it implements and gets QueryInterface (which walks them), an atomic
// reference count, deletion at the last Release and one module reference for its lifetime.
//
//   class ResultCom final : public ComObject<ResultCom, TypeInfoDispatch<_Result>,
//                                            ErrorInfoFor<_Result>> { ... };
//
// An implementation that stands for an interface (TypeInfoDispatch<_Result> for _Result)
// names it as ComInterface. The first interface gives the object's IUnknown identity; the
// first one derived from IDispatch answers IID_IDispatch. A class that answers one more IID
// with no C++ interface of its own defines `void* queryOther(REFIID)`.
#pragma once

#include <windows.h>

#include <atomic>
#include <new>
#include <type_traits>
#include <utility>

#include "platform/win32/com_error.h"
#include "platform/win32/com_module.h"

namespace vantrel::platform::win32 {

template <class I>
const IID& interfaceIid() {
    if constexpr (requires { typename I::ComInterface; })
        return __uuidof(typename I::ComInterface);
    else
        return __uuidof(I);
}

template <class Derived, class First, class... Rest>
class ComObject : public First, public Rest... {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = find(iid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

    // A new object handing out `iid`; a constructor that throws gives its error's HRESULT
    // (with error info), so the class factory never lets an exception out.
    template <class... Args>
    static HRESULT createInstance(REFIID iid, void** out, Args&&... args) {
        if (!out) return E_POINTER;
        *out = nullptr;
        Derived* object = nullptr;
        HRESULT hr = guardedCall(interfaceIid<First>(),
                                 [&] { object = new Derived(std::forward<Args>(args)...); });
        if (FAILED(hr)) return hr;
        hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    void* queryOther(REFIID) { return nullptr; }

private:
    void* find(REFIID iid) {
        if (iid == IID_IUnknown) return static_cast<IUnknown*>(static_cast<First*>(this));
        void* found = match<First>(iid);
        ((found = found ? found : match<Rest>(iid)), ...);
        if (!found && iid == IID_IDispatch) found = firstDispatch<First, Rest...>();
        return found ? found : static_cast<Derived*>(this)->queryOther(iid);
    }
    template <class I>
    void* match(REFIID iid) {
        return iid == interfaceIid<I>() ? static_cast<I*>(this) : nullptr;
    }
    template <class I, class... More>
    void* firstDispatch() {
        if constexpr (std::is_base_of_v<IDispatch, I>)
            return static_cast<IDispatch*>(static_cast<I*>(this));
        else if constexpr (sizeof...(More) > 0)
            return firstDispatch<More...>();
        else
            return nullptr;
    }

    std::atomic<ULONG> refs_{1};
    ModuleReference module_;
};

// ISupportErrorInfo for a class whose error info comes from its methods of `Interface`.
template <class Interface>
class ErrorInfoFor : public ISupportErrorInfo {
public:
    using ComInterface = ISupportErrorInfo;
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == __uuidof(Interface) ? S_OK : S_FALSE;
    }
};

}  // namespace vantrel::platform::win32
