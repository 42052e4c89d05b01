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

// {5D0F3C61-2B7A-4F43-9E6C-0E1D9B7A4C21}: asked by a bridge to recognise its own wrappers.
extern const IID IID_VantrelObjectBridge;

class ObjectDispatch final : public ComObject<ObjectDispatch, IDispatch> {
public:
    explicit ObjectDispatch(std::shared_ptr<automation::Object> object);

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) override;

    const std::shared_ptr<automation::Object>& object() const { return object_; }
    // Whether this wrapper was made by this very module (a wrapper of another module
    // holds objects of another runtime and is treated as any host object).
    virtual bool ownedBy(const void* moduleToken) const { return moduleToken == token_; }
    // IID_VantrelObjectBridge answers with the wrapper's IDispatch.
    void* queryOther(REFIID iid) {
        return iid == IID_VantrelObjectBridge ? static_cast<IDispatch*>(this) : nullptr;
    }

private:
    ~ObjectDispatch() override = default;
    std::shared_ptr<automation::Object> object_;
    const void* token_;
};

// The token of this module (see ObjectDispatch::ownedBy).
const void* moduleToken();

}  // namespace vantrel::platform::win32
