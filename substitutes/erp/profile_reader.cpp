#include "erp/profile_reader.h"

#include <string>
#include <vector>

#include "automation/runtime_error.h"

namespace vantrel::substitutes::erp {

using automation::Text;
using automation::TextView;

Text readProfileText(interfaces::ProfileFunctions* profile, TextView section, TextView key,
                     TextView file) {
    if (!profile) {
        throw automation::RuntimeError(automation::errc::AutomationError, u"ConnectionSettings",
                                       u"No INI file functions were given to the stand-ins.");
    }
    std::string s = automation::toCp1252(section), k = automation::toCp1252(key),
                f = automation::toCp1252(file);
    // The function answers size - 1 when the value was cut; grow until it fits.
    for (std::uint32_t size = 256; size <= (1u << 24); size *= 4) {
        std::vector<char> buffer(size, '\0');
        std::uint32_t n =
            profile->getString(s.c_str(), k.c_str(), "", buffer.data(), size, f.c_str());
        if (n < size - 1) return automation::fromCp1252(std::string_view(buffer.data(), n));
    }
    throw automation::RuntimeError(automation::errc::OutOfMemory, u"ConnectionSettings",
                                   u"The INI value is too long.");
}

}  // namespace vantrel::substitutes::erp
