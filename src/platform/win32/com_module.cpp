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
