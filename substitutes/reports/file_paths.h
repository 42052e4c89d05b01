// Files named by Windows-style paths of the system, opened from the stand-ins. On Linux the
// path is translated as the platform layer does it (backslash to slash, drive letter
// dropped); on Windows it is used as it is.
#pragma once

#include <filesystem>
#include <string>

#include "automation/text.h"

namespace vantrel::substitutes::reports {

std::filesystem::path nativeFile(automation::TextView windowsPath);

// The same path as UTF-8 bytes, as SQLite takes file names.
std::string nativeFileUtf8(automation::TextView windowsPath);

}  // namespace vantrel::substitutes::reports
