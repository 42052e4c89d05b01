// The INI functions over kernel32 (GetPrivateProfileStringA, WritePrivateProfileStringA)
// and the ANSI code page they read and write in.
#pragma once

#include <windows.h>

#include <string>

#include "interfaces/profile_functions.h"

namespace vantrel::platform::win32 {

class Kernel32Profile final : public interfaces::ProfileFunctions {
public:
    std::uint32_t getString(const char* section, const char* key, const char* defaultText,
                            char* buffer, std::uint32_t size, const char* file) override;
    std::int32_t writeString(const char* section, const char* key, const char* text,
                             const char* file) override;
    std::string toAnsi(automation::TextView text) override;
    automation::Text fromAnsi(std::string_view bytes) override;
};

}  // namespace vantrel::platform::win32
