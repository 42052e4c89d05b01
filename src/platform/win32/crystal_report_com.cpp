#include "platform/win32/crystal_report_com.h"

#include <oleauto.h>

#include <utility>
#include <vector>

#include "platform/win32/dispatch_bridge.h"
#include "platform/win32/event_type_info.h"
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

// The coclass and its source dispinterface: Executar(DataHora, Descricao) as DISPID 1.
HRESULT classTypeInfo(ITypeInfo** out) {
    static const EventClass reportClass = {
        kEventsLibrary,
        L"QuorilVantrelReportEvents",
        CLSID_CrystalReportMain,
        L"CrystalReportMain",
        DIID_CrystalReportMainEvents,
        L"_CrystalReportMainEvents",
        {{L"Executar", kDispidExecutar, {{L"DataHora", VT_DATE}, {L"Descricao", VT_BSTR}}}}};
    return eventClassInfo(reportClass, out);
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
        // Arguments last-first, as IDispatch::Invoke takes them. The text goes by its
        // length: the whole text, a NUL in it and what follows included.
        VariantVector args(2);
        args[0].bstrVal = Bstr(wide(descricao), static_cast<UINT>(descricao.size())).detach();
        args[0].vt = VT_BSTR;
        args[1].vt = VT_DATE;
        args[1].date = dataHora;
        DISPPARAMS params{args.data(), nullptr, 2, 0};
        // What a handler does is its own affair; a failure there does not stop the report.
        sink->Invoke(kDispidExecutar, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                     nullptr, nullptr, nullptr);
    }
}

}  // namespace vantrel::platform::win32
