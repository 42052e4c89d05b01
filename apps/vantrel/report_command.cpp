// vantrel report: runs a report through the report engine (CrystalReportMain) against the
// stand-in report runtime, printing each progress event and message box as it happens.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "automation/datetime.h"
#include "automation/runtime_error.h"
#include "commands.h"
#include "data_folder.h"
#include "interfaces/services.h"
#include "platform/posix/posix_platform.h"
#include "platform/posix/terminal_dialogs.h"
#include "registry.h"
#include "reports/engine/crystal_report_main.h"
#include "reports/parameters/value_list.h"
#include "reports/runtime_factory.h"

namespace vantrel::app {

namespace {

using automation::Text;
using automation::TextView;

const char kUsage[] =
    "usage: vantrel report run REPORT [options]\n"
    "\n"
    "Runs REPORT (a report file of the stand-in report runtime, see examples/reports) with\n"
    "CrystalReportMain.ExecutaMapa and prints every progress event (Executar) and message box\n"
    "as it happens, then the result. The report's tables are bound to the company database\n"
    "and each table's connection is tested against <data>/databases/<catalog>.sqlite.\n"
    "\n"
    "options:\n"
    "  --destino N        destination code: 0 none (default), 1 screen, 2 printer, 3 PDF,\n"
    "                     4 e-mail, 5 Excel (the outputs themselves are not built yet)\n"
    "  --pedidos TEXT     parameter values as one text: |value1|value2...\n"
    "  --versao 0|1       runtime version: 0 Crystal 10 (default), 1 Crystal 8.5\n"
    "  --nome TEXT        report name shown in messages (default: the file name)\n"
    "  --servidor S       database server (in_Servidor)\n"
    "  --base B           main database, for tlk... tables and by default (In_NomeBaseDados)\n"
    "  --base-next B2     second database for the other tables (in_NomeBaseDados_Next)\n"
    "  --user U           database user (in_UserId)\n"
    "  --password P       database password (in_Password)\n"
    "  --data DIR         the stand-ins' data folder (default: $QUORILVANTREL_DATA)\n"
    "  --answer A         answer to the next message box (ok, yes, no, cancel, sim, não...);\n"
    "                     repeat it for several boxes; a box without an answer is asked at\n"
    "                     the keyboard, or takes its default button when input is no terminal\n"
    "  --calls            print what the engine asked of the report runtime, after the run\n"
    "\n"
    "Exit code: 0 when ExecutaMapa reports success, 1 when it reports a failure, 2 for a\n"
    "wrong call.\n";

struct UsageError {
    std::string message;
};

struct Options {
    std::string report;
    std::int32_t destino = 0;
    std::optional<std::string> pedidos;
    std::int32_t versao = 0;
    std::optional<std::string> nome;
    std::string servidor, base, baseNext, user, password;
    std::optional<std::string> data;
    std::vector<std::string> answers;
    bool calls = false;
};

std::int32_t wholeNumber(const std::string& option, const std::string& value) {
    char* end = nullptr;
    long n = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || n < INT32_MIN || n > INT32_MAX) {
        throw UsageError{option + " needs a whole number, not '" + value + "'"};
    }
    return static_cast<std::int32_t>(n);
}

const std::string& answerWord(const std::string& word) {
    if (!platform::posix::TerminalDialogs::answerOf(word)) {
        throw UsageError{"--answer takes ok, yes, no, cancel (or sim, não...), not '" + word + "'"};
    }
    return word;
}

Options parse(const Arguments& args) {
    Options o;
    bool haveReport = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
            return args[++i];
        };
        if (a == "--destino")
            o.destino = wholeNumber(a, value());
        else if (a == "--pedidos")
            o.pedidos = value();
        else if (a == "--versao")
            o.versao = wholeNumber(a, value());
        else if (a == "--nome")
            o.nome = value();
        else if (a == "--servidor")
            o.servidor = value();
        else if (a == "--base")
            o.base = value();
        else if (a == "--base-next")
            o.baseNext = value();
        else if (a == "--user")
            o.user = value();
        else if (a == "--password")
            o.password = value();
        else if (a == "--data")
            o.data = value();
        else if (a == "--answer")
            o.answers.push_back(answerWord(value()));
        else if (a == "--calls")
            o.calls = true;
        else if (a.size() > 1 && a[0] == '-')
            throw UsageError{"unknown option " + a};
        else if (haveReport)
            throw UsageError{"only one report, not '" + a + "' as well"};
        else {
            o.report = a;
            haveReport = true;
        }
    }
    if (!haveReport) throw UsageError{"which report? (vantrel report run REPORT)"};
    return o;
}

std::string utf8(TextView t) {
    return automation::toUtf8(t);
}

int run(const Options& o) {
    using reports::engine::CrystalReportMain;
    if (o.data) substitutes::setDataFolder(automation::fromUtf8(*o.data));

    auto dialogs = platform::posix::TerminalDialogs::forConsole();
    for (const auto& a : o.answers) dialogs->queueAnswer(a);
    platform::posix::PosixPlatform platform;
    substitutes::StandInRegistry registry(
        substitutes::StandInContext{nullptr, dialogs.get(), &platform});
    auto calls = std::make_shared<substitutes::reports::CallLog>();
    substitutes::reports::registerReportRuntime(registry, calls);
    interfaces::Services services;
    services.factory = &registry;
    services.dialogs = dialogs.get();
    services.platform = &platform;

    auto report = CrystalReportMain::create(services);
    report->onExecutar([](double when, const Text& text) {
        std::printf("[%s] %s\n", utf8(automation::formatDate(when)).c_str(), utf8(text).c_str());
        std::fflush(stdout);
    });

    const Text path = automation::fromUtf8(o.report);
    Text name = path;
    auto slash = name.find_last_of(u"\\/");
    if (slash != Text::npos) name.erase(0, slash + 1);
    report->in_Mapa(path);
    report->NomeDoMapa(o.nome ? automation::fromUtf8(*o.nome) : name);
    report->VersaoCRYSTAL(o.versao);
    report->in_Destino(o.destino);
    report->in_Servidor(automation::fromUtf8(o.servidor));
    report->In_NomeBaseDados(automation::fromUtf8(o.base));
    report->in_NomeBaseDados_Next(automation::fromUtf8(o.baseNext));
    report->in_UserId(automation::fromUtf8(o.user));
    report->in_Password(automation::fromUtf8(o.password));

    // The values go both ways a caller gives them: in in_Pedidos, and as the list that
    // ExecutaMapa copies (element 0, before the first "|", is never a value).
    std::vector<Text> pieces{Text()};
    if (o.pedidos) {
        const Text pedidos = automation::fromUtf8(*o.pedidos);
        report->in_Pedidos(pedidos);
        auto split = reports::parameters::splitValues(pedidos);
        if (!split.empty()) pieces = std::move(split);
    }
    automation::Array parametro = automation::Array::ofTexts(pieces, 0);

    const bool failed = report->ExecutaMapa(parametro, false);
    std::printf("result: ExecutaMapa returned %s (%s)\n", failed ? "True" : "False",
                failed ? "the run failed" : "the run went through");
    if (o.destino >= 1 && o.destino <= 5) {
        std::printf(
            "note: the outputs are not built yet: nothing was shown, printed or exported\n");
    }
    if (o.calls) {
        std::printf("report runtime calls:\n");
        for (const auto& line : calls->lines()) std::printf("  %s\n", utf8(line).c_str());
    }
    std::fflush(stdout);
    return failed ? 1 : 0;
}

}  // namespace

int runReport(const Arguments& args) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    if (args[0] != "run") {
        std::fprintf(stderr, "vantrel report: unknown subcommand '%s'\n\n%s", args[0].c_str(),
                     kUsage);
        return 2;
    }
    Arguments rest(args.begin() + 1, args.end());
    for (const auto& a : rest) {
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    try {
        return run(parse(rest));
    } catch (const UsageError& e) {
        std::fprintf(stderr, "vantrel report run: %s\n\n%s", e.message.c_str(), kUsage);
        return 2;
    }
}

}  // namespace vantrel::app
