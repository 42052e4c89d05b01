// State of the DLL as a COM server: its module handle and the count of objects and locks
// that keep it loaded (DllCanUnloadNow).
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

namespace vantrel::platform::win32 {

HMODULE thisModule();
void setThisModule(HMODULE module);
// The full path of this module's file; empty (with GetLastError set) when it cannot be had.
std::wstring modulePath();
// Registers a window class of this module with the arrow cursor and a system colour
// (COLOR_…) as background; false when Windows refuses it.
bool registerWindowClass(const wchar_t* name, WNDPROC proc, int backgroundColor);

// Every live COM object of this module and every IClassFactory::LockServer(TRUE) counts.
void moduleAddRef();
void moduleRelease();
long moduleReferences();

// Counts one live object of this module for as long as it exists.
class ModuleReference {
public:
    ModuleReference() { moduleAddRef(); }
    ModuleReference(const ModuleReference&) { moduleAddRef(); }
    ModuleReference& operator=(const ModuleReference&) = default;
    ~ModuleReference() { moduleRelease(); }
};

}  // namespace vantrel::platform::win32
