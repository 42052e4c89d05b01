// The INI cases through cInifile instead of the raw profile functions: each operation
// becomes the cInifile property calls that ask the same of the file, over whatever profile
// functions the settings object is given. Run once over kernel32 (inside the Windows build)
// and once over our engine, the two reports must agree: the class behaves the same on both.
#pragma once

#include "ini_cases.h"
#include "interfaces/profile_functions.h"

namespace vantrel::tests::inicases {

class CinifileBackend : public Backend {
public:
    explicit CinifileBackend(interfaces::ProfileFunctions& profile) : profile_(profile) {}

    // A get with a section and a key reads Value (Default set to the default); without a
    // key it reads INISection, without a section Sections. The text goes to the buffer up to
    // its size; the result is the text's whole length.
    std::uint32_t getString(const char* section, const char* key, const char* def, char* buffer,
                            std::uint32_t size, const char* file) override;
    // A write sets Value; without a text it is DeleteKey, without a key DeleteSection (or
    // INISection with the text given). The result is LastReturnCode. cInifile has no way to
    // write without a section: such a write is left out and reports kNotExpressible.
    std::int32_t writeString(const char* section, const char* key, const char* text,
                             const char* file) override;
    void forget(const char* file) override;

    static constexpr std::int32_t kNotExpressible = -1000;

private:
    interfaces::ProfileFunctions& profile_;
};

}  // namespace vantrel::tests::inicases
