// The maker's components over COM: objects created by ProgID, and the registry's list of
// which ProgID serves each component.
#pragma once

#include <windows.h>

#include "interfaces/components.h"

namespace vantrel::platform::win32 {

// CLSIDFromProgID + CoCreateInstance; the object comes back through the IDispatch bridge.
class ComObjectFactory final : public automation::ObjectFactory {
public:
    automation::ObjectRef create(automation::TextView progId) override;
};

// ProgIDs of the maker's components: HKCU\Software\QuorilVantrel\Components, then the same
// key under HKLM, then the standard installation's names.
class RegistryCatalog final : public interfaces::ComponentCatalog {
public:
    automation::Text progIdOf(automation::TextView component) override;
    // "HKCU\...\Components", "HKLM\...\Components" or "por omissão".
    automation::Text sourceOf(automation::TextView component) override;
};

inline constexpr wchar_t kComponentsKey[] = L"Software\\QuorilVantrel\\Components";

}  // namespace vantrel::platform::win32
