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
