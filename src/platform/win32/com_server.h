// What an in-process COM server DLL needs around its classes: class factories, the
// DllCanUnloadNow answer, and registration of classes, ProgIDs and type library under
// HKEY_CLASSES_ROOT (removed again, key by key, on unregistration).
#pragma once

#include <windows.h>

#include <span>

namespace vantrel::platform::win32 {

struct ComClass {
    const CLSID* clsid;
    const wchar_t* progId;  // version-independent ProgID; ProgID + ".1" is registered too
    const wchar_t* description;
    HRESULT (*create)(REFIID iid, void** out);
    // A class that the server's type library does not describe gets no TypeLib key.
    bool inTypeLib = true;
};

struct ComServer {
    std::span<const ComClass> classes;
    const GUID* libid = nullptr;  // the embedded type library, when the server has one
};

HRESULT serverGetClassObject(const ComServer& server, REFCLSID clsid, REFIID iid, void** out);
HRESULT serverCanUnloadNow();
HRESULT serverRegister(const ComServer& server);
HRESULT serverUnregister(const ComServer& server);

}  // namespace vantrel::platform::win32
