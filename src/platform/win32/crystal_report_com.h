// The COM class QuorilVantrel.CrystalReportMain: the report engine for scripts and other
// late-bound callers. Its members are the engine's, by name, through IDispatch; the event
// Executar(DataHora, Descricao) goes to every sink advised on its connection point, so
// WScript.CreateObject("QuorilVantrel.CrystalReportMain", "Rel_") calls the script's
// Rel_Executar. The class stays out of the QuorilVantrel type library: the type information
// that script hosts read (IProvideClassInfo2) is built in memory when first asked for.
// The windows the engine drives (JanelaParametros, JanelaVisualizador) are the caller's
// objects, reached through the IDispatch bridge.
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <memory>

#include "platform/win32/com_handles.h"
#include "platform/win32/com_object.h"
#include "platform/win32/event_sinks.h"
#include "platform/win32/win32_components.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_field_definitions.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_profile.h"
#include "reports/engine/crystal_report_main.h"

namespace vantrel::platform::win32 {

// {4B8E2D17-6C35-4A90-B1F2-7D3E9A0C5B61}
extern const CLSID CLSID_CrystalReportMain;
// {4B8E2D18-6C35-4A90-B1F2-7D3E9A0C5B61}: the source dispinterface (Executar is DISPID 1).
extern const IID DIID_CrystalReportMainEvents;
inline constexpr DISPID kDispidExecutar = 1;

class CrystalReportMainCom final : public ComObject<CrystalReportMainCom, IDispatch,
                                                    IConnectionPointContainer, IProvideClassInfo2> {
public:
    static HRESULT create(REFIID iid, void** out) { return createInstance(iid, out); }

    // IDispatch: the engine's members, names given DISPIDs as they are asked for.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* argErr) override;

    // IConnectionPointContainer: one connection point, for the events' dispinterface.
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* out) override;

    // IProvideClassInfo, the base of IProvideClassInfo2.
    void* queryOther(REFIID iid) {
        return iid == IID_IProvideClassInfo ? static_cast<IProvideClassInfo*>(this) : nullptr;
    }

    // The sinks, kept here so that a connection point object can come and go.
    HRESULT advise(IUnknown* sink, DWORD* cookie);
    HRESULT unadvise(DWORD cookie);

private:
    friend ComObject;
    CrystalReportMainCom();
    ~CrystalReportMainCom() override;
    void raiseExecutar(double dataHora, const automation::Text& descricao);

    Kernel32Profile profile_;
    Win32Dialogs dialogs_;
    Win32Platform platform_;
    ComObjectFactory factory_;
    RegistryCatalog catalog_;
    P2smonFieldDefinitions fieldDefinitions_;
    std::shared_ptr<reports::engine::CrystalReportMain> engine_;
    ComPtr<IDispatch> members_;  // the bridge over engine_
    EventSinks sinks_{DIID_CrystalReportMainEvents};
    // The engine may outlive this object (a caller's window keeps it as its Mapa): its event
    // handler reaches the sinks only while this object exists. Destroyed first.
    std::shared_ptr<CrystalReportMainCom*> alive_ = std::make_shared<CrystalReportMainCom*>(this);
};

}  // namespace vantrel::platform::win32
