// The two kernel32 profile functions, with their null-argument meanings. Texts are bytes in
// the system's ANSI code page (toAnsi / fromAnsi); a null pointer is a null argument.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "automation/text.h"

namespace vantrel::interfaces {

class ProfileFunctions {
public:
    virtual ~ProfileFunctions() = default;
    // GetPrivateProfileStringA. A null key lists the section's key names, a null section
    // (with a null key) lists the section names; each name ends in a NUL and the list in a
    // second NUL. Returns the number of bytes copied, not counting the final NUL.
    virtual std::uint32_t getString(const char* section, const char* key, const char* defaultText,
                                    char* buffer, std::uint32_t size, const char* file) = 0;
    // WritePrivateProfileStringA. A null text removes the key, a null key the whole section.
    // Non-zero on success.
    virtual std::int32_t writeString(const char* section, const char* key, const char* text,
                                     const char* file) = 0;
    // Texts to and from the bytes these functions take: in the system's ANSI code page, as
    // kernel32's A functions convert them. Windows-1252 unless the platform says otherwise.
    virtual std::string toAnsi(automation::TextView text) { return automation::toCp1252(text); }
    virtual automation::Text fromAnsi(std::string_view bytes) {
        return automation::fromCp1252(bytes);
    }
};

}  // namespace vantrel::interfaces
