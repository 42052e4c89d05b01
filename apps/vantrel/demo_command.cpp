// Placeholder until the demo command is written.
#include <cstdio>

#include "commands.h"

namespace vantrel::app {

int runDemo(const Arguments&) {
    std::fputs("vantrel demo: not built yet\n", stderr);
    return 1;
}

}  // namespace vantrel::app
