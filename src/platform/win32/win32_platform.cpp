#include <windows.h>

#include <shlwapi.h>
#include <winspool.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "automation/runtime_error.h"
#include "platform/win32/com_handles.h"
#include "platform/win32/com_module.h"
#include "platform/win32/variant_bridge.h"
#include "platform/win32/win32_platform.h"

namespace vantrel::platform::win32 {

using automation::RuntimeError;
using automation::Text;
using automation::TextView;
namespace errc = automation::errc;

Win32Platform::Win32Platform() : locale_(userLocale()) {}

Text Win32Platform::moduleFolder() {
    std::wstring path = modulePath();
    auto slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) path.resize(slash);
    return fromWide(path.c_str());
}

Text Win32Platform::firstMatch(TextView pattern) {
    if (pattern.empty()) return Text();
    Text p(pattern);
    WIN32_FIND_DATAW data{};
    UniqueFindHandle find(FindFirstFileW(wide(p), &data));
    if (!find) return Text();
    do {
        // Dir() without attributes lists files only.
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            return fromWide(data.cFileName);
    } while (FindNextFileW(find.get(), &data));
    return Text();
}

void Win32Platform::deleteFile(TextView path) {
    Text p(path);
    if (DeleteFileW(wide(p))) return;
    DWORD e = GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND)
        throw RuntimeError(errc::FileNotFound);
    throw RuntimeError(errc::PathFileAccessError);
}

std::vector<Text> Win32Platform::readTextLines(TextView path) {
    Text p(path);
    UniqueFileHandle file(CreateFileW(wide(p), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw RuntimeError(errc::FileNotFound);
    std::string all;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        all.append(buffer, got);
    return automation::cp1252Lines(all);
}

interfaces::ScreenMetrics Win32Platform::screen() {
    interfaces::ScreenMetrics m;
    UniqueScreenDc dc(GetDC(nullptr));
    int dpiX = dc ? GetDeviceCaps(dc.get(), LOGPIXELSX) : 96;
    int dpiY = dc ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 96;
    if (dpiX <= 0) dpiX = 96;
    if (dpiY <= 0) dpiY = 96;
    // 1440 twips to the inch.
    m.twipsPerPixelX = 1440.0 / dpiX;
    m.twipsPerPixelY = 1440.0 / dpiY;
    m.widthTwips = GetSystemMetrics(SM_CXSCREEN) * m.twipsPerPixelX;
    m.heightTwips = GetSystemMetrics(SM_CYSCREEN) * m.twipsPerPixelY;
    return m;
}

void Win32Platform::processMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit request for the host's own loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Win32Platform::waitForMessages(int milliseconds) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds > 0 ? milliseconds : 0, QS_ALLINPUT);
    processMessages();
}

std::vector<interfaces::PrinterInfo> Win32Platform::printers() {
    std::vector<interfaces::PrinterInfo> list;
    DWORD needed = 0, count = 0;
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    EnumPrintersW(flags, nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0) return list;
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersW(flags, nullptr, 2, buffer.data(), needed, &needed, &count)) return list;
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        list.push_back({fromWide(info[i].pPrinterName), fromWide(info[i].pDriverName),
                        fromWide(info[i].pPortName)});
    return list;
}

std::optional<interfaces::PrinterInfo> Win32Platform::currentPrinter() {
    DWORD size = 0;
    GetDefaultPrinterW(nullptr, &size);
    if (size == 0) return std::nullopt;
    std::wstring name(size, L'\0');
    if (!GetDefaultPrinterW(name.data(), &size)) return std::nullopt;
    Text wanted = fromWide(name.c_str());
    for (auto& p : printers())
        if (automation::equalsIgnoreCase(p.deviceName, wanted)) return p;
    return interfaces::PrinterInfo{wanted, Text(), Text()};
}

bool Win32Platform::folderExists(TextView folder) {
    Text f(folder);
    DWORD attributes = GetFileAttributesW(wide(f));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

interfaces::FileProbe Win32Platform::probeFile(TextView path, std::size_t limit) {
    interfaces::FileProbe p;
    Text f(path);
    DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide(f));
    if (attributes == INVALID_FILE_ATTRIBUTES) return p;
    p.exists = true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return p;
    UniqueFileHandle file(CreateFileW(wide(f), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return p;
    p.bytes.resize(limit);
    std::size_t got = 0;
    bool failed = false;
    while (got < limit) {
        DWORD n = 0;
        DWORD ask = static_cast<DWORD>(std::min<std::size_t>(limit - got, 1u << 20));
        if (!ReadFile(file.get(), p.bytes.data() + got, ask, &n, nullptr)) failed = true;
        if (failed || n == 0) break;
        got += n;
    }
    p.bytes.resize(got);
    p.readable = !failed;
    return p;
}

bool Win32Platform::folderWritable(TextView folder) {
    if (!folderExists(folder)) return false;
    // Whether the user's token may add a file, from the folder's ACL: nothing is created.
    Text f(folder);
    const SECURITY_INFORMATION what =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    GetFileSecurityW(wide(f), what, nullptr, 0, &needed);
    if (needed == 0) return true;  // no security on this volume: nothing refuses a new file
    std::vector<BYTE> descriptor(needed);
    if (!GetFileSecurityW(wide(f), what, descriptor.data(), needed, &needed)) return true;
    HANDLE process = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(),
                          TOKEN_IMPERSONATE | TOKEN_QUERY | TOKEN_DUPLICATE | STANDARD_RIGHTS_READ,
                          &process))
        return true;
    UniqueObjectHandle processToken(process);
    HANDLE impersonation = nullptr;
    if (!DuplicateToken(processToken.get(), SecurityImpersonation, &impersonation)) return true;
    UniqueObjectHandle token(impersonation);
    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE,
                            FILE_ALL_ACCESS};
    DWORD desired = FILE_ADD_FILE;
    MapGenericMask(&desired, &mapping);
    PRIVILEGE_SET privileges{};
    DWORD privilegesSize = sizeof privileges;
    DWORD granted = 0;
    BOOL allowed = FALSE;
    if (!AccessCheck(descriptor.data(), token.get(), desired, &mapping, &privileges,
                     &privilegesSize, &granted, &allowed))
        return true;
    return allowed != FALSE;
}

bool Win32Platform::appendLine(TextView path, TextView line) {
    Text p(path);
    UniqueFileHandle file(CreateFileW(wide(p), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::string bytes = automation::toUtf8(line) + "\r\n";
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size();
}

}  // namespace vantrel::platform::win32
