// File names for the outputs that make new files of their own (outbox messages, printed
// jobs): a folder made on demand and a name no earlier output of this process or another
// one has taken.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include "automation/text.h"

namespace vantrel::substitutes::reports {

// The folder (Windows-style path), created when missing; a RuntimeError when it cannot be.
std::filesystem::path outputFolder(automation::TextView folder);

// Creates a new file "<stem> <stamp>-<n><suffix>" in `folder`, exclusively, and answers its
// path with the file open for writing in `out`.
std::filesystem::path createUniqueFile(const std::filesystem::path& folder, const std::string& stem,
                                       const std::string& suffix, std::FILE*& out);

// A name safe in a file name on every system: letters, digits, spaces, "-", "_" and ".";
// anything else becomes "_".
std::string fileNameSafe(automation::TextView text);

}  // namespace vantrel::substitutes::reports
