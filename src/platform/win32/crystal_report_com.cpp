#include "platform/win32/crystal_report_com.h"

#include <oleauto.h>

#include <mutex>
#include <utility>
#include <vector>

#include "platform/win32/dispatch_bridge.h"
#include "platform/win32/variant_bridge.h"

namespace vantrel::platform::win32 {

const CLSID CLSID_CrystalReportMain = {
    0x4b8e2d17, 0x6c35, 0x4a90, {0xb1, 0xf2, 0x7d, 0x3e, 0x9a, 0x0c, 0x5b, 0x61}};
const IID DIID_CrystalReportMainEvents = {
    0x4b8e2d18, 0x6c35, 0x4a90, {0xb1, 0xf2, 0x7d, 0x3e, 0x9a, 0x0c, 0x5b, 0x61}};

namespace {

// {4B8E2D19-6C35-4A90-B1F2-7D3E9A0C5B61}: the in-memory library that holds the two type
// infos; it is never registered nor written to disk.
const GUID kEventsLibrary = {
    0x4b8e2d19, 0x6c35, 0x4a90, {0xb1, 0xf2, 0x7d, 0x3e, 0x9a, 0x0c, 0x5b, 0x61}};

#define VANTREL_TRY(call)            \
    do {                             \
        HRESULT hr_ = (call);        \
        if (FAILED(hr_)) return hr_; \
    } while (0)

// The coclass and its source dispinterface, as a type library compiler would describe them:
//   dispinterface _CrystalReportMainEvents { [id(1)] void Executar(DATE DataHora, BSTR Descricao);
//   } coclass CrystalReportMain { [default, source] dispinterface _CrystalReportMainEvents; }
HRESULT buildTypeInfos(ComPtr<ITypeInfo>& coclass) {
    ComPtr<ICreateTypeLib2> lib;
    VANTREL_TRY(CreateTypeLib2(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32,
                               L"QuorilVantrelReportEvents.tlb", lib.put()));
    VANTREL_TRY(lib->SetGuid(kEventsLibrary));
    VANTREL_TRY(lib->SetName(const_cast<LPOLESTR>(L"QuorilVantrelReportEvents")));
    VANTREL_TRY(lib->SetVersion(1, 0));

    ComPtr<ITypeLib> stdole;
    VANTREL_TRY(LoadTypeLib(L"stdole2.tlb", stdole.put()));
    ComPtr<ITypeInfo> dispatchInfo;
    VANTREL_TRY(stdole->GetTypeInfoOfGuid(IID_IDispatch, dispatchInfo.put()));

    ComPtr<ICreateTypeInfo> events;
    VANTREL_TRY(lib->CreateTypeInfo(const_cast<LPOLESTR>(L"_CrystalReportMainEvents"),
                                    TKIND_DISPATCH, events.put()));
    VANTREL_TRY(events->SetGuid(DIID_CrystalReportMainEvents));
    HREFTYPE dispatchRef = 0;
    VANTREL_TRY(events->AddRefTypeInfo(dispatchInfo.get(), &dispatchRef));
    VANTREL_TRY(events->AddImplType(0, dispatchRef));
    ELEMDESC params[2] = {};
    params[0].tdesc.vt = VT_DATE;
    params[0].paramdesc.wParamFlags = PARAMFLAG_FIN;
    params[1].tdesc.vt = VT_BSTR;
    params[1].paramdesc.wParamFlags = PARAMFLAG_FIN;
    FUNCDESC executar = {};
    executar.memid = kDispidExecutar;
    executar.funckind = FUNC_DISPATCH;
    executar.invkind = INVOKE_FUNC;
    executar.callconv = CC_STDCALL;
    executar.cParams = 2;
    executar.lprgelemdescParam = params;
    executar.elemdescFunc.tdesc.vt = VT_VOID;
    VANTREL_TRY(events->AddFuncDesc(0, &executar));
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Executar"), const_cast<LPOLESTR>(L"DataHora"),
                        const_cast<LPOLESTR>(L"Descricao")};
    VANTREL_TRY(events->SetFuncAndParamNames(0, names, 3));
    VANTREL_TRY(events->LayOut());
    ComPtr<ITypeInfo> eventsInfo;
    VANTREL_TRY(events->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(eventsInfo.put())));

    ComPtr<ICreateTypeInfo> cls;
    VANTREL_TRY(
        lib->CreateTypeInfo(const_cast<LPOLESTR>(L"CrystalReportMain"), TKIND_COCLASS, cls.put()));
    VANTREL_TRY(cls->SetGuid(CLSID_CrystalReportMain));
    VANTREL_TRY(cls->SetTypeFlags(TYPEFLAG_FCANCREATE));
    HREFTYPE eventsRef = 0;
    VANTREL_TRY(cls->AddRefTypeInfo(eventsInfo.get(), &eventsRef));
    VANTREL_TRY(cls->AddImplType(0, eventsRef));
    VANTREL_TRY(cls->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE));
    VANTREL_TRY(cls->LayOut());
    return cls->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(coclass.put()));
}

#undef VANTREL_TRY

// Built once per process; the library lives as long as the type info handed out.
HRESULT classTypeInfo(ITypeInfo** out) {
    static std::mutex mutex;
    static ITypeInfo* built = nullptr;
    std::lock_guard<std::mutex> lock(mutex);
    if (!built) {
        ComPtr<ITypeInfo> info;
        HRESULT hr = buildTypeInfos(info);
        if (FAILED(hr)) return hr;
        built = info.detach();  // kept for the life of the process
    }
    built->AddRef();
    *out = built;
    return S_OK;
}

class ExecutarConnectionPoint final : public ComObject<ExecutarConnectionPoint, IConnectionPoint> {
public:
    explicit ExecutarConnectionPoint(CrystalReportMainCom* owner)
        : owner_(ComPtr<CrystalReportMainCom>::share(owner)) {}

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        if (!iid) return E_POINTER;
        *iid = DIID_CrystalReportMainEvents;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** out) override {
        if (!out) return E_POINTER;
        *out = owner_.get();
        owner_->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        return owner_->advise(sink, cookie);
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override { return owner_->unadvise(cookie); }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }

private:
    ComPtr<CrystalReportMainCom> owner_;
};

}  // namespace

CrystalReportMainCom::CrystalReportMainCom() {
    interfaces::Services services;
    services.factory = &factory_;
    services.components = &catalog_;
    services.dialogs = &dialogs_;
    services.profile = &profile_;
    services.platform = &platform_;
    services.fieldDefinitions = &fieldDefinitions_;
    engine_ = reports::engine::CrystalReportMain::create(services);
    std::weak_ptr<CrystalReportMainCom*> alive = alive_;
    engine_->onExecutar([alive](double dataHora, const automation::Text& descricao) {
        if (auto self = alive.lock()) (*self)->raiseExecutar(dataHora, descricao);
    });
    members_ = ComPtr<IDispatch>::adopt(new ObjectDispatch(engine_));
}

CrystalReportMainCom::~CrystalReportMainCom() = default;

HRESULT CrystalReportMainCom::GetTypeInfoCount(UINT* count) {
    return members_->GetTypeInfoCount(count);
}
HRESULT CrystalReportMainCom::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) {
    return members_->GetTypeInfo(index, lcid, info);
}
HRESULT CrystalReportMainCom::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) {
    return members_->GetIDsOfNames(iid, names, count, lcid, ids);
}
HRESULT CrystalReportMainCom::Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep,
                                     UINT* argErr) {
    // The object stays alive through a call whose event handler lets go of it.
    ComPtr<IDispatch> self = ComPtr<IDispatch>::share(this);
    return members_->Invoke(id, iid, lcid, flags, params, result, excep, argErr);
}

HRESULT CrystalReportMainCom::EnumConnectionPoints(IEnumConnectionPoints** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT CrystalReportMainCom::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != DIID_CrystalReportMainEvents) return CONNECT_E_NOCONNECTION;
    return ExecutarConnectionPoint::createInstance(IID_IConnectionPoint,
                                                   reinterpret_cast<void**>(out), this);
}

HRESULT CrystalReportMainCom::GetClassInfo(ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return classTypeInfo(out);
}

HRESULT CrystalReportMainCom::GetGUID(DWORD kind, GUID* out) {
    if (!out) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *out = GUID_NULL;
        return E_INVALIDARG;
    }
    *out = DIID_CrystalReportMainEvents;
    return S_OK;
}

HRESULT CrystalReportMainCom::advise(IUnknown* sink, DWORD* cookie) {
    return sinks_.advise(sink, cookie);
}

HRESULT CrystalReportMainCom::unadvise(DWORD cookie) {
    return sinks_.unadvise(cookie);
}

void CrystalReportMainCom::raiseExecutar(double dataHora, const automation::Text& descricao) {
    if (sinks_.empty()) return;
    const std::vector<ComPtr<IDispatch>> sinks = sinks_.snapshot();
    for (const auto& sink : sinks) {
        // By its length: the text is the whole text, a NUL in it and what follows included.
        Bstr text(wide(descricao), static_cast<UINT>(descricao.size()));
        // Arguments last-first, as IDispatch::Invoke takes them.
        VARIANT args[2];
        VariantInit(&args[0]);
        VariantInit(&args[1]);
        args[0].vt = VT_BSTR;
        args[0].bstrVal = text.get();
        args[1].vt = VT_DATE;
        args[1].date = dataHora;
        DISPPARAMS params{args, nullptr, 2, 0};
        // What a handler does is its own affair; a failure there does not stop the report.
        sink->Invoke(kDispidExecutar, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                     nullptr, nullptr, nullptr);
    }
}

}  // namespace vantrel::platform::win32
