// Reads one value of an INI file through the ProfileFunctions port, whatever its length.
// Section, key and file go to the port in the system's ANSI code page (Windows-1252).
#pragma once

#include "automation/text.h"
#include "interfaces/profile_functions.h"

namespace vantrel::substitutes::erp {

// Empty for a missing file, section or key. RuntimeError when there is no port.
automation::Text readProfileText(interfaces::ProfileFunctions* profile,
                                 automation::TextView section, automation::TextView key,
                                 automation::TextView file);

}  // namespace vantrel::substitutes::erp
