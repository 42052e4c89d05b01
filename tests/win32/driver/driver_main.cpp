// The Wine test driver: plays the ERP against QuorilVantrel.dll through real COM (late
// binding, as the ERP does), with the stand-ins' COM server as the maker's components and
// real message boxes that a watcher thread reads and answers.
//   vantrel_wine_driver.exe [suite...]      (suites: typelib registration events frames
//                                            entry toggle save badinput lifetime result
//                                            savedialog printers fielddefs windows reports)
//   vantrel_wine_driver.exe --script FILE.vbs   (a script host that honours event prefixes:
//                                            script_host.h)
//   vantrel_wine_driver.exe --press-boxes SECONDS | --hold SECONDS   (helpers of run.sh)
//   vantrel_wine_driver.exe --ini-cases CASES WORK_FOLDER REPORT
//       runs the INI cases through the add-in's cInifile over kernel32 (see
//       tests/wine/ini_cinifile_backend.h); the Linux build's ini_cases_native run-cinifile
//       must print the same report.
// Needs: both DLLs registered, HKCU\Software\QuorilVantrel\Components mapped to the
// stand-ins, QUORILVANTREL_DATA naming a writable folder. Prints "N passed, M failed".
#include <windows.h>

#include <oleauto.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "driver.h"
#include "ini_cinifile_backend.h"
#include "platform/win32/com_handles.h"
#include "platform/win32/win32_profile.h"
#include "script_host.h"

namespace {

std::string ansiArgument(const wchar_t* w) {
    int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) WideCharToMultiByte(CP_ACP, 0, w, -1, out.data(), n, nullptr, nullptr);
    return out;
}

int runIniCases(wchar_t** argv) {
    using namespace vantrel::tests::inicases;
    std::ifstream in(argv[2], std::ios::binary);
    std::vector<Case> cases;
    std::string error;
    if (!in || !parseCases(in, cases, error)) {
        std::printf("ini cases: cannot read them: %s\n", error.c_str());
        return 2;
    }
    vantrel::platform::win32::Kernel32Profile kernel32;
    CinifileBackend settings(kernel32);
    std::string folder = ansiArgument(argv[3]);
    std::string report = runCases(cases, settings, Workspace{folder, folder}, error);
    if (!error.empty()) {
        std::printf("ini cases: %s\n", error.c_str());
        return 1;
    }
    std::ofstream out(argv[4], std::ios::binary);
    out << "codepage " << GetACP() << "\n" << report;
    return out ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace vantrel::wine;
    setvbuf(stdout, nullptr, _IONBF, 0);
    // --press-boxes SECONDS: answer OK to the message boxes of every process (a script's)
    // for that long, printing each box as "box: title | text".
    if (argc >= 3 && std::wstring(argv[1]) == L"--press-boxes") {
        DialogWatcher watcher(true);
        DWORD until = GetTickCount() + static_cast<DWORD>(_wtoi(argv[2])) * 1000;
        while (GetTickCount() < until) {
            for (const auto& b : watcher.take(200)) {
                std::string text = narrow(b.text);
                for (auto& c : text)
                    if (c == '\r' || c == '\n') c = ' ';
                std::printf("box: %s | %s\n", narrow(b.title).c_str(), text.c_str());
            }
            if (GetFileAttributesW(L"C:\\vantrel-stop-boxes") != INVALID_FILE_ATTRIBUTES) break;
        }
        return 0;
    }
    // --hold SECONDS: keeps the Wine session (its desktop and services) alive between the
    // steps of a run until C:\vantrel-release-session appears; C:\vantrel-session-held
    // tells that it has started.
    if (argc >= 3 && std::wstring(argv[1]) == L"--hold") {
        vantrel::platform::win32::UniqueFileHandle marker(
            CreateFileW(L"C:\\vantrel-session-held", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD until = GetTickCount() + static_cast<DWORD>(_wtoi(argv[2])) * 1000;
        while (GetTickCount() < until &&
               GetFileAttributesW(L"C:\\vantrel-release-session") == INVALID_FILE_ATTRIBUTES)
            Sleep(500);
        return 0;
    }
    if (argc == 5 && std::wstring(argv[1]) == L"--ini-cases") return runIniCases(argv);
    if (argc == 3 && std::wstring(argv[1]) == L"--script") return runScript(argv[2]);
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    const std::vector<std::pair<std::wstring, void (*)()>> suites = {
        {L"typelib", suiteTypeLib},
        {L"registration", suiteRegistration},
        {L"result", suiteResult},
        {L"events", suiteEvents},
        {L"frames", suiteFrames},
        {L"entry", suiteEntry},
        {L"toggle", suiteToggle},
        {L"save", suiteSave},
        {L"badinput", suiteBadInput},
        {L"lifetime", suiteLifetime},
        {L"savedialog", suiteSaveDialog},
        {L"printers", suitePrinters},
        {L"fielddefs", suiteFieldDefinitions},
        {L"windows", suiteReportWindows},
        {L"reports", suiteReports}};
    {
        DialogWatcher watcher;
        setWatcher(&watcher);
        prepareCompanies();
        for (const auto& [name, run] : suites) {
            bool wanted = argc < 2;
            for (int i = 1; i < argc; ++i) wanted = wanted || name == argv[i];
            if (!wanted) continue;
            int before = tally().failed;
            run();
            auto stray = watcher.take(100);
            check(stray.empty(),
                  narrow(name) + ": no box left unexamined" +
                      (stray.empty() ? std::string() : " (\"" + narrow(stray[0].text) + "\")"));
            std::printf("suite %s: %s\n", narrow(name).c_str(),
                        tally().failed == before ? "ok" : "FAILED");
        }
        setWatcher(nullptr);
    }
    CoUninitialize();
    std::printf("%d passed, %d failed\n", tally().passed, tally().failed);
    return tally().failed == 0 ? 0 : 1;
}
