// Placeholder until the host command is written.
#include <cstdio>

#include "commands.h"

namespace vantrel::app {

int runHost(const Arguments&) {
    std::fputs("vantrel host: not built yet\n", stderr);
    return 1;
}

}  // namespace vantrel::app
