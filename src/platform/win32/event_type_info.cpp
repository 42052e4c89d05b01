#include "platform/win32/event_type_info.h"

#include <oleauto.h>

#include <cstring>
#include <map>
#include <mutex>

#include "platform/win32/com_error.h"
#include "platform/win32/com_handles.h"

namespace vantrel::platform::win32 {

namespace {

void addMethod(ICreateTypeInfo* events, UINT index, const EventMethod& m) {
    std::vector<TYPEDESC> pointees(m.parameters.size());
    std::vector<ELEMDESC> params(m.parameters.size());
    std::vector<LPOLESTR> names = {const_cast<LPOLESTR>(m.name)};
    for (std::size_t i = 0; i < m.parameters.size(); ++i) {
        const EventParameter& p = m.parameters[i];
        if (p.byRef) {
            pointees[i].vt = p.type;
            params[i].tdesc.vt = VT_PTR;
            params[i].tdesc.lptdesc = &pointees[i];
            params[i].paramdesc.wParamFlags = PARAMFLAG_FIN | PARAMFLAG_FOUT;
        } else {
            params[i].tdesc.vt = p.type;
            params[i].paramdesc.wParamFlags = PARAMFLAG_FIN;
        }
        names.push_back(const_cast<LPOLESTR>(p.name));
    }
    FUNCDESC f = {};
    f.memid = m.id;
    f.funckind = FUNC_DISPATCH;
    f.invkind = INVOKE_FUNC;
    f.callconv = CC_STDCALL;
    f.cParams = static_cast<SHORT>(params.size());
    f.lprgelemdescParam = params.empty() ? nullptr : params.data();
    f.elemdescFunc.tdesc.vt = VT_VOID;
    throwIfFailed(events->AddFuncDesc(index, &f));
    throwIfFailed(
        events->SetFuncAndParamNames(index, names.data(), static_cast<UINT>(names.size())));
}

void build(const EventClass& c, ComPtr<ITypeInfo>& coclass) {
    ComPtr<ICreateTypeLib2> lib;
    throwIfFailed(CreateTypeLib2(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32,
                                 const_cast<LPOLESTR>(c.libraryName), lib.put()));
    throwIfFailed(lib->SetGuid(c.library));
    throwIfFailed(lib->SetName(const_cast<LPOLESTR>(c.libraryName)));
    throwIfFailed(lib->SetVersion(1, 0));

    ComPtr<ITypeLib> stdole;
    throwIfFailed(LoadTypeLib(L"stdole2.tlb", stdole.put()));
    ComPtr<ITypeInfo> dispatchInfo;
    throwIfFailed(stdole->GetTypeInfoOfGuid(IID_IDispatch, dispatchInfo.put()));

    ComPtr<ICreateTypeInfo> events;
    throwIfFailed(
        lib->CreateTypeInfo(const_cast<LPOLESTR>(c.eventsName), TKIND_DISPATCH, events.put()));
    throwIfFailed(events->SetGuid(c.events));
    HREFTYPE dispatchRef = 0;
    throwIfFailed(events->AddRefTypeInfo(dispatchInfo.get(), &dispatchRef));
    throwIfFailed(events->AddImplType(0, dispatchRef));
    for (std::size_t i = 0; i < c.methods.size(); ++i)
        addMethod(events.get(), static_cast<UINT>(i), c.methods[i]);
    throwIfFailed(events->LayOut());
    ComPtr<ITypeInfo> eventsInfo;
    throwIfFailed(
        events->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(eventsInfo.put())));

    ComPtr<ICreateTypeInfo> cls;
    throwIfFailed(lib->CreateTypeInfo(const_cast<LPOLESTR>(c.className), TKIND_COCLASS, cls.put()));
    throwIfFailed(cls->SetGuid(c.clsid));
    throwIfFailed(cls->SetTypeFlags(TYPEFLAG_FCANCREATE));
    HREFTYPE eventsRef = 0;
    throwIfFailed(cls->AddRefTypeInfo(eventsInfo.get(), &eventsRef));
    throwIfFailed(cls->AddImplType(0, eventsRef));
    throwIfFailed(cls->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE));
    throwIfFailed(cls->LayOut());
    throwIfFailed(cls->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(coclass.put())));
}

struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const {
        return std::memcmp(&a, &b, sizeof(GUID)) < 0;
    }
};

}  // namespace

HRESULT eventClassInfo(const EventClass& c, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    static std::mutex mutex;
    // Never released: a release at exit could come after oleaut32 has gone.
    static auto* built = new std::map<GUID, ITypeInfo*, GuidLess>;
    std::lock_guard<std::mutex> lock(mutex);
    ITypeInfo*& slot = (*built)[c.clsid];
    if (!slot) {
        ComPtr<ITypeInfo> info;
        const HRESULT hr = hresultOf([&] { build(c, info); });
        if (FAILED(hr)) {
            built->erase(c.clsid);
            return hr;
        }
        slot = info.detach();
    }
    slot->AddRef();
    *out = slot;
    return S_OK;
}

}  // namespace vantrel::platform::win32
