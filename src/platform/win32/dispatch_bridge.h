// The two bridges between IDispatch and automation::Object.
//   DispatchObject: a host's IDispatch seen as an Object. Calls go through GetIDsOfNames
//     and Invoke as automation clients make them: methods and property reads with
//     DISPATCH_METHOD|DISPATCH_PROPERTYGET, assignments with the DISPID_PROPERTYPUT named
//     argument, by-reference arguments as VT_BYREF|VT_VARIANT written back afterwards, and
//     DISP_E_EXCEPTION turned into a RuntimeError.
//   ObjectDispatch: one of our Objects seen as an IDispatch (the stand-ins' COM server, and
//     objects the add-in hands out). Names get DISPIDs as they are asked for, since an Object
//     reveals its members only when called; a RuntimeError becomes DISP_E_EXCEPTION.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <map>
#include <memory>

#include "automation/object.h"
#include "platform/win32/com_handles.h"
#include "platform/win32/com_object.h"

namespace vantrel::platform::win32 {

class DispatchObject final : public automation::Object {
public:
    explicit DispatchObject(ComPtr<IDispatch> dispatch) : dispatch_(std::move(dispatch)) {}
    automation::Variant invoke(automation::TextView member, automation::CallKind kind,
                               std::span<automation::Argument> args) override;
    IDispatch* dispatch() const { return dispatch_.get(); }

private:
    DISPID idOf(automation::TextView member);
    ComPtr<IDispatch> dispatch_;
    std::map<automation::Text, DISPID> ids_;  // by upper-cased name
};

// How a bridge knows its own wrappers. Each DLL of the add-in links a bridge of its own,
// and a wrapper made by the other one holds objects of another runtime, to be treated as
// any host object: a wrapper hands its object out only to the module that made it. Only
// this vtable crosses between modules, never a C++ object's layout.
struct IVantrelObjectBridge : IUnknown {
    // S_OK with `object` at the wrapper's std::shared_ptr<automation::Object> when
    // `moduleToken` is the wrapper's own module's token (see moduleToken); S_FALSE with null
    // otherwise.
    virtual HRESULT STDMETHODCALLTYPE ObjectOf(const void* moduleToken, const void** object) = 0;
};

class ObjectDispatch final : public ComObject<ObjectDispatch, IDispatch, IVantrelObjectBridge> {
public:
    explicit ObjectDispatch(std::shared_ptr<automation::Object> object);

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) override;

    // IVantrelObjectBridge
    HRESULT STDMETHODCALLTYPE ObjectOf(const void* moduleToken, const void** object) override;

    const std::shared_ptr<automation::Object>& object() const { return object_; }

private:
    ~ObjectDispatch() override = default;
    std::shared_ptr<automation::Object> object_;
    const void* token_;
};

// The token of this module (see IVantrelObjectBridge).
const void* moduleToken();

}  // namespace vantrel::platform::win32

// {2C205878-DC86-4FFE-B0F1-252B5AAAEFBA}
__CRT_UUID_DECL(vantrel::platform::win32::IVantrelObjectBridge, 0x2c205878, 0xdc86, 0x4ffe, 0xb0,
                0xf1, 0x25, 0x2b, 0x5a, 0xaa, 0xef, 0xba)
