#include "platform/win32/type_library.h"

#include <mutex>

#include "platform/win32/com_handles.h"
#include "platform/win32/com_module.h"

namespace vantrel::platform::win32 {

namespace {
std::mutex gMutex;
ITypeLib* gTypeLib = nullptr;
}  // namespace

HRESULT moduleTypeLib(ITypeLib** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    std::lock_guard<std::mutex> lock(gMutex);
    if (!gTypeLib) {
        std::wstring path = modulePath();
        if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
        HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &gTypeLib);
        if (FAILED(hr)) return hr;
    }
    gTypeLib->AddRef();
    *out = gTypeLib;
    return S_OK;
}

HRESULT moduleTypeInfo(REFGUID guid, ITypeInfo** out) {
    ComPtr<ITypeLib> lib;
    HRESULT hr = moduleTypeLib(lib.put());
    if (FAILED(hr)) return hr;
    return lib->GetTypeInfoOfGuid(guid, out);
}

void releaseModuleTypeLib() {
    std::lock_guard<std::mutex> lock(gMutex);
    if (gTypeLib) {
        gTypeLib->Release();
        gTypeLib = nullptr;
    }
}

}  // namespace vantrel::platform::win32
