// The subcommands of the vantrel program. Each takes the arguments after its own name and
// returns the exit code: 0 success, 1 failure, 2 wrong call.
#pragma once

#include <string>
#include <vector>

#include "automation/text.h"

namespace vantrel::app {

using Arguments = std::vector<std::string>;

int runIni(const Arguments& args);
int runHost(const Arguments& args);
int runDemo(const Arguments& args);
int runReport(const Arguments& args);
int runDoctor(const Arguments& args);

// The folder of the running program, where the stand-ins' files are looked for.
std::string executableFolder();
// A Linux path as the Windows-style path the add-in and the stand-ins work with.
automation::Text windowsPath(const std::string& path);

}  // namespace vantrel::app
