// vantrel: tries the add-in without the ERP. One program, one subcommand per area.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "commands.h"

namespace {

const char kUsage[] =
    "usage: vantrel COMMAND [ARGUMENTS]\n"
    "\n"
    "Tries the QuorilVantrel add-in without the ERP.\n"
    "\n"
    "commands:\n"
    "  ini      read and write a per-company settings file (vantrel ini --help)\n"
    "  host     play the ERP for one company: enter, save documents, leave (vantrel host --help)\n"
    "  demo     create a demo company and walk through the energy surcharge (vantrel demo --help)\n"
    "  report   run a report through the report engine (vantrel report --help)\n"
    "  doctor   check why a company does not work: settings, components, database, API\n"
    "           (vantrel doctor --help)\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    vantrel::app::Arguments rest(argv + 2, argv + argc);
    try {
        if (command == "ini") return vantrel::app::runIni(rest);
        if (command == "host") return vantrel::app::runHost(rest);
        if (command == "demo") return vantrel::app::runDemo(rest);
        if (command == "report") return vantrel::app::runReport(rest);
        if (command == "doctor") return vantrel::app::runDoctor(rest);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantrel %s: %s\n", command.c_str(), e.what());
        return 1;
    }
    std::fprintf(stderr, "vantrel: unknown command '%s'\n\n%s", command.c_str(), kUsage);
    return 2;
}
