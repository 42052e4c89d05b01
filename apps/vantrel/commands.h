// The subcommands of the vantrel program. Each takes the arguments after its own name and
// returns the exit code: 0 success, 1 failure, 2 wrong call.
#pragma once

#include <string>
#include <vector>

namespace vantrel::app {

using Arguments = std::vector<std::string>;

int runIni(const Arguments& args);
int runHost(const Arguments& args);
int runDemo(const Arguments& args);
int runReport(const Arguments& args);
int runDoctor(const Arguments& args);

}  // namespace vantrel::app
