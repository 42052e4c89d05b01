// QuorilVantrelStandIns.dll: the stand-ins of the maker's components as COM servers, so
// the add-in creates them by ProgID under Wine exactly as it creates the real ones. Each
// class factory creates the stand-in Object and hands it out through the IDispatch bridge.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <string>

#include "data_folder.h"
#include "dialogs/save_dialog.h"
#include "erp/counted_object.h"
#include "parameter_window.h"
#include "platform/win32/com_error.h"
#include "platform/win32/com_module.h"
#include "platform/win32/com_server.h"
#include "platform/win32/dispatch_bridge.h"
#include "platform/win32/variant_bridge.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_profile.h"
#include "registry.h"
#include "reports/call_log.h"
#include "reports/runtime_factory.h"
#include "save_chooser.h"
#include "setup_object.h"
#include "viewer_control.h"

using namespace vantrel::platform::win32;
namespace substitutes = vantrel::substitutes;

namespace {

// The stand-ins' classes: {7A3C2B10-5E41-4C8D-9B21-3F0E6D5Annnn}, told apart by the last two
// bytes (nnnn below).
constexpr CLSID standInClsid(unsigned short n) {
    return {0x7a3c2b10,
            0x5e41,
            0x4c8d,
            {0x9b, 0x21, 0x3f, 0x0e, 0x6d, 0x5a, static_cast<unsigned char>(n >> 8),
             static_cast<unsigned char>(n & 0xff)}};
}

const CLSID kCoreDataAccess = standInClsid(0x1001);
const CLSID kConnectionSettings = standInClsid(0x1002);
const CLSID kNextApiConnection = standInClsid(0x1003);
const CLSID kSharedFolders = standInClsid(0x1004);
const CLSID kFolderCheck = standInClsid(0x1005);
const CLSID kSetup = standInClsid(0x1006);
const CLSID kSaveDialog = standInClsid(0x1007);
const CLSID kParameterWindow = standInClsid(0x1008);
// The viewer controls, versions 10 and 8.5.
const CLSID kViewer10 = standInClsid(0x1009);
const CLSID kViewer85 = standInClsid(0x100a);
// The report runtime, versions 10 and 8.5.
const CLSID kReportRuntime10 = standInClsid(0x1020);
const CLSID kReportRuntime85 = standInClsid(0x1021);

constexpr char16_t kSetupProgId[] = u"QuorilVantrel.StandIns.Setup";
constexpr char16_t kReportRuntime10ProgId[] = u"CrystalRuntime.Application.10";
constexpr char16_t kReportRuntime85ProgId[] = u"CrystalRuntime.Application.8.5";

struct Context {
    Kernel32Profile profile;
    Win32Dialogs dialogs;
    Win32Platform platform;
    substitutes::StandInRegistry registry;
    // What the report engine asked of the stand-in runtime in this process.
    std::shared_ptr<substitutes::reports::CallLog> reportCalls =
        std::make_shared<substitutes::reports::CallLog>();
    Context() {
        registry.setContext({&profile, &dialogs, &platform});
        registry.add(kSetupProgId, [](const substitutes::StandInContext& c) {
            return vantrel::automation::makeObject<substitutes::com::SetupObject>(c);
        });
        // The report outputs' save dialog, shown as the system's own save-file window.
        substitutes::dialogs::registerSaveDialog(registry, &substitutes::com::chooseSaveFile);
        // The caller's parameter window of the report engine, as a real window.
        registry.add(substitutes::com::kParameterWindowProgId,
                     [](const substitutes::StandInContext&) {
                         return substitutes::com::makeParameterWindow();
                     });
        substitutes::reports::registerReportRuntime(registry, reportCalls);
        if (const char* env = std::getenv("QUORILVANTREL_DATA"))
            substitutes::setDataFolder(
                substitutes::com::windowsDataFolder(vantrel::automation::fromUtf8(env)));
    }
};

Context& context() {
    static std::once_flag once;
    static Context* instance = nullptr;
    // Built on first use and kept for the life of the process: the stand-ins' objects may
    // still point at its ports while the process ends.
    std::call_once(once, [] { instance = new Context(); });
    return *instance;
}

HRESULT createNamed(const char16_t* progId, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    IDispatch* dispatch = nullptr;
    HRESULT hr = guardedCall(
        IID_IDispatch, [&] { dispatch = dispatchFromObject(context().registry.create(progId)); });
    if (FAILED(hr)) return hr;
    hr = dispatch->QueryInterface(iid, out);
    dispatch->Release();
    return hr;
}

template <const char16_t* ProgId>
HRESULT create(REFIID iid, void** out) {
    return createNamed(ProgId, iid, out);
}

const ComClass kClasses[] = {
    {&kCoreDataAccess, L"QuorilVantrel.StandIns.CoreDataAccess", L"Stand-in CoreDataAccess",
     &create<substitutes::progid::CoreDataAccess>},
    {&kConnectionSettings, L"QuorilVantrel.StandIns.ConnectionSettings",
     L"Stand-in ConnectionSettings", &create<substitutes::progid::ConnectionSettings>},
    {&kNextApiConnection, L"QuorilVantrel.StandIns.NextApiConnection",
     L"Stand-in NextApiConnection", &create<substitutes::progid::NextApiConnection>},
    {&kSharedFolders, L"QuorilVantrel.StandIns.SharedFolders", L"Stand-in SharedFolders",
     &create<substitutes::progid::SharedFolders>},
    {&kFolderCheck, L"QuorilVantrel.StandIns.FolderCheck", L"Stand-in FolderCheck",
     &create<substitutes::progid::FolderCheck>},
    {&kSetup, L"QuorilVantrel.StandIns.Setup", L"Stand-in company setup", &create<kSetupProgId>},
    {&kSaveDialog, L"QuorilVantrel.StandIns.SaveDialog", L"Stand-in save dialog",
     &create<substitutes::dialogs::kSaveDialogProgId>},
    {&kParameterWindow, L"QuorilVantrel.StandIns.ParameterWindow",
     L"Stand-in report parameter window", &create<substitutes::com::kParameterWindowProgId>},
    {&kViewer10, L"CrystalActiveXReportViewerLib10Ctl.CrystalActiveXReportViewer",
     L"Stand-in report viewer control 10",
     [](REFIID iid, void** out) {
         return substitutes::com::createViewerControl(true, kViewer10, iid, out);
     }},
    {&kViewer85, L"CRVIEWERLibCtl.CRViewer", L"Stand-in report viewer control 8.5",
     [](REFIID iid, void** out) {
         return substitutes::com::createViewerControl(false, kViewer85, iid, out);
     }},
    {&kReportRuntime10, L"CrystalRuntime.Application.10", L"Stand-in report runtime 10",
     &create<kReportRuntime10ProgId>},
    {&kReportRuntime85, L"CrystalRuntime.Application.8.5", L"Stand-in report runtime 8.5",
     &create<kReportRuntime85ProgId>},
};
const ComServer kServer{kClasses, nullptr};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        setThisModule(instance);
        DisableThreadLibraryCalls(instance);
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

// For the test driver: stand-in objects alive in this process (every one of them, wrapped
// or not), so a leak shows after every COM reference has gone.
extern "C" long long WINAPI StandInsLiveObjects() {
    return vantrel::substitutes::erp::liveObjectCount();
}

// For the test driver: the report runtime's call log in this process, one line per entry
// and then one "output: kind: location" line per output, into `buffer` (cut at `size`
// characters); returns the length of the whole text.
extern "C" int WINAPI StandInsReportCalls(wchar_t* buffer, int size) {
    std::wstring text;
    const auto& log = *context().reportCalls;
    for (const auto& line : log.lines()) text += wide(line) + std::wstring(L"\n");
    for (const auto& output : log.outputs())
        text +=
            L"output: " + std::wstring(wide(output.kind)) + L": " + wide(output.location) + L"\n";
    if (buffer && size > 0) {
        std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(size - 1));
        text.copy(buffer, n);
        buffer[n] = L'\0';
    }
    return static_cast<int>(text.size());
}
