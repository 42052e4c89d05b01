#include "platform/win32/event_type_info.h"

#include <oleauto.h>

#include <cstring>
#include <map>
#include <mutex>

#include "platform/win32/com_handles.h"

namespace vantrel::platform::win32 {

namespace {

#define VANTREL_TRY(call)            \
    do {                             \
        HRESULT hr_ = (call);        \
        if (FAILED(hr_)) return hr_; \
    } while (0)

HRESULT addMethod(ICreateTypeInfo* events, UINT index, const EventMethod& m) {
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
    VANTREL_TRY(events->AddFuncDesc(index, &f));
    return events->SetFuncAndParamNames(index, names.data(), static_cast<UINT>(names.size()));
}

HRESULT build(const EventClass& c, ComPtr<ITypeInfo>& coclass) {
    ComPtr<ICreateTypeLib2> lib;
    VANTREL_TRY(CreateTypeLib2(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32,
                               const_cast<LPOLESTR>(c.libraryName), lib.put()));
    VANTREL_TRY(lib->SetGuid(c.library));
    VANTREL_TRY(lib->SetName(const_cast<LPOLESTR>(c.libraryName)));
    VANTREL_TRY(lib->SetVersion(1, 0));

    ComPtr<ITypeLib> stdole;
    VANTREL_TRY(LoadTypeLib(L"stdole2.tlb", stdole.put()));
    ComPtr<ITypeInfo> dispatchInfo;
    VANTREL_TRY(stdole->GetTypeInfoOfGuid(IID_IDispatch, dispatchInfo.put()));

    ComPtr<ICreateTypeInfo> events;
    VANTREL_TRY(
        lib->CreateTypeInfo(const_cast<LPOLESTR>(c.eventsName), TKIND_DISPATCH, events.put()));
    VANTREL_TRY(events->SetGuid(c.events));
    HREFTYPE dispatchRef = 0;
    VANTREL_TRY(events->AddRefTypeInfo(dispatchInfo.get(), &dispatchRef));
    VANTREL_TRY(events->AddImplType(0, dispatchRef));
    for (std::size_t i = 0; i < c.methods.size(); ++i)
        VANTREL_TRY(addMethod(events.get(), static_cast<UINT>(i), c.methods[i]));
    VANTREL_TRY(events->LayOut());
    ComPtr<ITypeInfo> eventsInfo;
    VANTREL_TRY(events->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(eventsInfo.put())));

    ComPtr<ICreateTypeInfo> cls;
    VANTREL_TRY(lib->CreateTypeInfo(const_cast<LPOLESTR>(c.className), TKIND_COCLASS, cls.put()));
    VANTREL_TRY(cls->SetGuid(c.clsid));
    VANTREL_TRY(cls->SetTypeFlags(TYPEFLAG_FCANCREATE));
    HREFTYPE eventsRef = 0;
    VANTREL_TRY(cls->AddRefTypeInfo(eventsInfo.get(), &eventsRef));
    VANTREL_TRY(cls->AddImplType(0, eventsRef));
    VANTREL_TRY(cls->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE));
    VANTREL_TRY(cls->LayOut());
    return cls->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(coclass.put()));
}

#undef VANTREL_TRY

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
        const HRESULT hr = build(c, info);
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
