#include "platform/win32/com_server.h"

#include <oleauto.h>

#include <new>
#include <string>

#include "platform/win32/com_handles.h"
#include "platform/win32/com_module.h"
#include "platform/win32/com_object.h"
#include "platform/win32/type_library.h"

namespace vantrel::platform::win32 {

namespace {

class ClassFactory final : public ComObject<ClassFactory, IClassFactory> {
public:
    explicit ClassFactory(HRESULT (*create)(REFIID, void**)) : create_(create) {}
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return create_(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            moduleAddRef();
        else
            moduleRelease();
        return S_OK;
    }

private:
    HRESULT (*create_)(REFIID, void**);
};

std::wstring guidText(const GUID& guid) {
    wchar_t buffer[64] = {};
    StringFromGUID2(guid, buffer, 64);
    return buffer;
}

LSTATUS setValue(const std::wstring& keyPath, const wchar_t* name, const std::wstring& value) {
    UniqueRegKey key;
    LSTATUS s = RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE,
                                nullptr, key.put(), nullptr);
    if (s != ERROR_SUCCESS) return s;
    return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

bool keyExists(const std::wstring& keyPath) {
    UniqueRegKey key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, KEY_READ, key.put()) ==
           ERROR_SUCCESS;
}

// Removes a key with everything below it; a key that is not there is no error.
LSTATUS removeTree(const std::wstring& keyPath) {
    LSTATUS s = RegDeleteTreeW(HKEY_CLASSES_ROOT, keyPath.c_str());
    if (s == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    if (s != ERROR_SUCCESS) return s;
    s = RegDeleteKeyW(HKEY_CLASSES_ROOT, keyPath.c_str());
    return s == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : s;
}

}  // namespace

HRESULT serverGetClassObject(const ComServer& server, REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (const auto& c : server.classes) {
        if (clsid != *c.clsid) continue;
        return ClassFactory::createInstance(iid, out, c.create);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT serverCanUnloadNow() {
    return moduleReferences() == 0 ? S_OK : S_FALSE;
}

HRESULT serverRegister(const ComServer& server) {
    std::wstring path = modulePath();
    if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
    std::wstring libid = server.libid ? guidText(*server.libid) : std::wstring();
    for (const auto& c : server.classes) {
        std::wstring clsid = guidText(*c.clsid);
        std::wstring progId = c.progId;
        std::wstring versioned = progId + L".1";
        std::wstring classKey = L"CLSID\\" + clsid;
        LSTATUS s = ERROR_SUCCESS;
        auto set = [&](const std::wstring& key, const wchar_t* name, const std::wstring& value) {
            if (s == ERROR_SUCCESS) s = setValue(key, name, value);
        };
        set(classKey, nullptr, c.description);
        set(classKey + L"\\InprocServer32", nullptr, path);
        set(classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
        set(classKey + L"\\ProgID", nullptr, versioned);
        set(classKey + L"\\VersionIndependentProgID", nullptr, progId);
        set(classKey + L"\\Programmable", nullptr, L"");
        if (!libid.empty() && c.inTypeLib) {
            set(classKey + L"\\TypeLib", nullptr, libid);
            set(classKey + L"\\Version", nullptr, L"2.0");
        }
        set(progId, nullptr, c.description);
        set(progId + L"\\CLSID", nullptr, clsid);
        set(progId + L"\\CurVer", nullptr, versioned);
        set(versioned, nullptr, c.description);
        set(versioned + L"\\CLSID", nullptr, clsid);
        if (s != ERROR_SUCCESS) return HRESULT_FROM_WIN32(s);
    }
    if (server.libid) {
        ComPtr<ITypeLib> lib;
        HRESULT hr = moduleTypeLib(lib.put());
        if (FAILED(hr)) return hr;
        hr = RegisterTypeLib(lib.get(), path.data(), nullptr);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT serverUnregister(const ComServer& server) {
    HRESULT result = S_OK;
    auto note = [&](LSTATUS s) {
        if (s != ERROR_SUCCESS && SUCCEEDED(result)) result = HRESULT_FROM_WIN32(s);
    };
    if (server.libid) {
        ComPtr<ITypeLib> lib;
        // A library that is not registered has nothing to remove.
        if (keyExists(L"TypeLib\\" + guidText(*server.libid)) &&
            SUCCEEDED(moduleTypeLib(lib.put()))) {
            UniqueTLibAttr attr(lib.get());
            if (SUCCEEDED(lib->GetLibAttr(attr.put()))) {
                HRESULT hr = UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum,
                                               attr->lcid, attr->syskind);
                if (FAILED(hr)) result = hr;
            }
        }
    }
    for (const auto& c : server.classes) {
        std::wstring progId = c.progId;
        note(removeTree(L"CLSID\\" + guidText(*c.clsid)));
        note(removeTree(progId));
        note(removeTree(progId + L".1"));
    }
    return result;
}

}  // namespace vantrel::platform::win32
