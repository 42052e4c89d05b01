// Placeholder until the ini command is written.
#include <cstdio>

#include "commands.h"

namespace vantrel::app {

int runIni(const Arguments&) {
    std::fputs("vantrel ini: not built yet\n", stderr);
    return 1;
}

}  // namespace vantrel::app
