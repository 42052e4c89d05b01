#include "platform/win32/com_module.h"

namespace vantrel::platform::win32 {

namespace {
HMODULE gModule = nullptr;
std::atomic<long> gReferences{0};
}  // namespace

HMODULE thisModule() {
    return gModule;
}
void setThisModule(HMODULE module) {
    gModule = module;
}
std::wstring modulePath() {
    // Paths may be longer than MAX_PATH; a full buffer means the name was cut.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(gModule, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool registerWindowClass(const wchar_t* name, WNDPROC proc, int backgroundColor) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = gModule;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(backgroundColor + 1));
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}
void moduleAddRef() {
    ++gReferences;
}
void moduleRelease() {
    --gReferences;
}
long moduleReferences() {
    return gReferences.load();
}

}  // namespace vantrel::platform::win32
