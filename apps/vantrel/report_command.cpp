// Placeholder until the report command is written.
#include <cstdio>

#include "commands.h"

namespace vantrel::app {

int runReport(const Arguments&) {
    std::fputs("vantrel report: not built yet\n", stderr);
    return 1;
}

}  // namespace vantrel::app
