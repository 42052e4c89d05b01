// The type library embedded in this DLL (resource TYPELIB 1), loaded once.
#pragma once

#include <windows.h>

#include <oleauto.h>

namespace vantrel::platform::win32 {

// The module's type library, loaded once (not registered by loading).
HRESULT moduleTypeLib(ITypeLib** out);
HRESULT moduleTypeInfo(REFGUID guid, ITypeInfo** out);
// Drops the cached library (DLL unload).
void releaseModuleTypeLib();

}  // namespace vantrel::platform::win32
