// vantrel report: runs a report through the report engine (CrystalReportMain) against the
// stand-in report runtime, printing each progress event and message box as it happens, and
// where each output went.
#include <cstdio>
#include <string>

#include "commands.h"
#include "report_session.h"

namespace vantrel::app {

// vantrel report open (report_open.cpp).
int runReportOpen(const Arguments& args);

namespace {

const std::string kUsage =
    std::string(
        "usage: vantrel report run REPORT [options]\n"
        "       vantrel report open REPORT [options]   (see vantrel report open --help)\n"
        "\n"
        "Runs REPORT (a report file of the stand-in report runtime, see examples/reports) with\n"
        "CrystalReportMain.ExecutaMapa and prints every progress event (Executar) and message box\n"
        "as it happens, then the result and where each output went. The report's tables are bound\n"
        "to the company database and each table's connection is tested against\n"
        "<data>/databases/<catalog>.sqlite.\n"
        "\n"
        "options:\n") +
    kReportOptionsHelp +
    "\n"
    "Exit code: 0 when ExecutaMapa reports success and no message box was shown, 1 when it\n"
    "reports a failure or a box was shown, 2 for a wrong call.\n";

int run(const ReportOptions& options) {
    ReportSession session(options);
    automation::Array parametro = session.values();
    const bool failed = session.report().ExecutaMapa(parametro, false);
    std::printf("result: ExecutaMapa returned %s (%s)\n", failed ? "True" : "False",
                failed ? "the run failed" : "the run went through");
    session.printOutcome();
    if (!failed && session.boxesShown() > 0) {
        std::printf("note: %d message box(es) shown during the run\n", session.boxesShown());
    }
    std::fflush(stdout);
    return failed || session.boxesShown() > 0 ? 1 : 0;
}

}  // namespace

int runReport(const Arguments& args) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::fputs(kUsage.c_str(), args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "open") return runReportOpen(Arguments(args.begin() + 1, args.end()));
    if (args[0] != "run") {
        std::fprintf(stderr, "vantrel report: unknown subcommand '%s'\n\n%s", args[0].c_str(),
                     kUsage.c_str());
        return 2;
    }
    Arguments rest(args.begin() + 1, args.end());
    for (const auto& a : rest) {
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage.c_str(), stdout);
            return 0;
        }
    }
    try {
        return run(parseReportOptions(rest, "run"));
    } catch (const UsageError& e) {
        std::fprintf(stderr, "vantrel report run: %s\n\n%s", e.message.c_str(), kUsage.c_str());
        return 2;
    }
}

}  // namespace vantrel::app
