// Entry points of QuorilVantrel.dll.

#include <windows.h>

#include "QuorilVantrel_h.h"
#include "platform/win32/com_module.h"
#include "platform/win32/com_server.h"
#include "platform/win32/crystal_report_com.h"
#include "platform/win32/result_com.h"
#include "platform/win32/solucao_com.h"
#include "platform/win32/type_library.h"
#include "platform/win32/viewer_window.h"
#include "platform/win32/win32_platform.h"

using namespace vantrel::platform::win32;

namespace {
const ComClass kClasses[] = {
    {&CLSID_Solucao, L"QuorilVantrel.Solucao", L"QuorilVantrel.Solucao", &SolucaoCom::create},
    {&CLSID_Result, L"QuorilVantrel.Result", L"QuorilVantrel.Result", &ResultCom::create},
    // The report engine's viewer window, for callers that set JanelaVisualizador.
    {&CLSID_frmDocCrystal, L"QuorilVantrel.frmDocCrystal", L"QuorilVantrel.frmDocCrystal",
     &createFrmDocCrystal, false},
    {&CLSID_CrystalReportMain, L"QuorilVantrel.CrystalReportMain",
     L"QuorilVantrel.CrystalReportMain", &CrystalReportMainCom::create, false},
};
const ComServer kServer{kClasses, &LIBID_QuorilVantrel};
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        setThisModule(instance);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary (not process exit): oleaut32 is still there.
        releaseModuleTypeLib();
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return serverGetClassObject(kServer, clsid, iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return serverCanUnloadNow();
}

extern "C" HRESULT WINAPI DllRegisterServer() {
    return serverRegister(kServer);
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    return serverUnregister(kServer);
}
