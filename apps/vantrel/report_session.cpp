#include "report_session.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "automation/datetime.h"
#include "data_folder.h"
#include "reports/parameters/value_list.h"
#include "reports/runtime_factory.h"

namespace vantrel::app {

using automation::Text;
using automation::TextView;
using automation::Variant;

const char kReportOptionsHelp[] =
    "  --destino N        destination code: 0 none (default), 1 screen, 2 printer, 3 PDF,\n"
    "                     4 e-mail, 5 Excel\n"
    "  --pedidos TEXT     parameter values as one text: |value1|value2... in the order of\n"
    "                     the parameters' prompts\n"
    "  --versao 0|1       runtime version: 0 Crystal 10 (default), 1 Crystal 8.5\n"
    "  --nome TEXT        report name shown in messages (default: the file name)\n"
    "  --servidor S       database server (in_Servidor)\n"
    "  --base B           main database, for tlk... tables and by default (In_NomeBaseDados)\n"
    "  --base-next B2     second database for the other tables (in_NomeBaseDados_Next)\n"
    "  --user U           database user (in_UserId)\n"
    "  --password P       database password (in_Password)\n"
    "  --ficheiro-pdf F   PDF file of the PDF and e-mail outputs (FicheiroPDF); without it the\n"
    "                     PDF output asks with a save dialog\n"
    "  --impressora NAME  print on the system's printer NAME, any case (in_NomeDaImpressora);\n"
    "                     naming a printer also lets the run change it (PodeMudarImpressora),\n"
    "                     else the report prints on its own printer\n"
    "  --pode-mudar-impressora\n"
    "                     let the run change the printer (PodeMudarImpressora); without\n"
    "                     --impressora the runtime's printer dialog chooses\n"
    "  --vias N           number of copies (NumeroDeVias)\n"
    "  --orientacao N     page orientation to impose: 1 portrait, 2 landscape\n"
    "  --formato-papel N  paper size to impose (9 = A4)\n"
    "  --email-para A     e-mail recipients (emailTo); --email-cc, --email-assunto and\n"
    "                     --email-mensagem give emailCC, emailSubject and emailMessage\n"
    "  --guardar-como F   answer to the next save dialog (repeat it for several); without\n"
    "                     it a terminal asks, and with no terminal the dialog is cancelled\n"
    "  --data DIR         the stand-ins' data folder (default: $QUORILVANTREL_DATA); the\n"
    "                     e-mail outbox and printed files go to DIR/outbox and DIR/printed\n"
    "  --answer A         answer to the next message box (ok, yes, no, cancel, sim, não...);\n"
    "                     repeat it for several boxes; a box without an answer is asked at\n"
    "                     the keyboard, or takes its default button when input is no terminal\n"
    "  --calls            print what the engine asked of the report runtime, after the run\n"
    "                     (the password masked)\n";

namespace {

std::int32_t wholeNumber(const std::string& option, const std::string& value, long low, long high) {
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || errno == ERANGE || n < low || n > high) {
        throw UsageError{option + " needs a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not '" + value + "'"};
    }
    return static_cast<std::int32_t>(n);
}

const std::string& answerWord(const std::string& word) {
    if (!platform::posix::TerminalDialogs::answerOf(word)) {
        throw UsageError{"--answer takes ok, yes, no, cancel (or sim, não...), not '" + word + "'"};
    }
    return word;
}

std::string utf8(TextView t) {
    return automation::toUtf8(t);
}

Text text(const std::string& s) {
    return automation::fromUtf8(s);
}

// Save dialogs of a terminal: the --guardar-como answers first, then the keyboard; with
// neither the dialog is cancelled, as a person would close it.
std::optional<Text> askAtTerminal(const substitutes::dialogs::SaveRequest& request) {
    if (!isatty(STDIN_FILENO)) {
        std::printf("save dialog: no answer and no terminal, cancelled\n");
        return std::nullopt;
    }
    std::string kinds;
    for (const auto& f : request.filters)
        kinds += (kinds.empty() ? "" : ", ") + utf8(f.description);
    std::printf("Guardar como (%s), vazio cancela: ", kinds.c_str());
    std::fflush(stdout);
    std::string line;
    if (!std::getline(std::cin, line) || line.empty()) return std::nullopt;
    return text(line);
}

}  // namespace

ReportOptions parseReportOptions(const Arguments& args, const char* command) {
    ReportOptions o;
    bool haveReport = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
            return args[++i];
        };
        if (a == "--destino")
            o.destino = wholeNumber(a, value(), 0, 5);
        else if (a == "--pedidos")
            o.pedidos = value();
        else if (a == "--versao")
            o.versao = wholeNumber(a, value(), 0, 1);
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
        else if (a == "--ficheiro-pdf")
            o.ficheiroPdf = value();
        else if (a == "--impressora") {
            // The engine uses the name only when it may change the printer; asking for a
            // printer by name means that.
            o.impressora = value();
            o.podeMudarImpressora = true;
        } else if (a == "--pode-mudar-impressora")
            o.podeMudarImpressora = true;
        else if (a == "--vias")
            o.vias = static_cast<std::int16_t>(wholeNumber(a, value(), 1, 32767));
        else if (a == "--orientacao")
            o.orientacao = wholeNumber(a, value(), 0, 32767);
        else if (a == "--formato-papel")
            o.formatoPapel = wholeNumber(a, value(), 0, 32767);
        else if (a == "--email-para")
            o.emailPara = value();
        else if (a == "--email-cc")
            o.emailCc = value();
        else if (a == "--email-assunto")
            o.emailAssunto = value();
        else if (a == "--email-mensagem")
            o.emailMensagem = value();
        else if (a == "--guardar-como")
            o.guardarComo.push_back(value());
        else if (a.size() > 1 && a[0] == '-')
            throw UsageError{"unknown option " + a};
        else if (haveReport)
            throw UsageError{"only one report, not '" + a + "' as well"};
        else {
            o.report = a;
            haveReport = true;
        }
    }
    if (!haveReport) {
        throw UsageError{std::string("which report? (vantrel report ") + command + " REPORT)"};
    }
    return o;
}

ReportSession::ReportSession(const ReportOptions& options)
    : options_(options),
      terminal_(platform::posix::TerminalDialogs::forConsole()),
      counting_(*terminal_),
      registry_(substitutes::StandInContext{nullptr, terminal_.get(), &platform_}),
      calls_(std::make_shared<substitutes::reports::CallLog>()) {
    if (options.data) substitutes::setDataFolder(text(*options.data));
    for (const auto& a : options.answers) terminal_->queueAnswer(a);

    substitutes::reports::registerReportRuntime(registry_, calls_);
    substitutes::dialogs::QueuedChooser chooser(askAtTerminal);
    for (const auto& path : options.guardarComo) chooser.queue(text(path));
    substitutes::dialogs::registerSaveDialog(registry_, chooser);

    services_.factory = &registry_;
    services_.components = &catalog_;
    services_.dialogs = &counting_;
    services_.platform = &platform_;
    services_.fieldDefinitions = &fieldDefinitions_;

    report_ = reports::engine::CrystalReportMain::create(services_);
    report_->onExecutar([](double when, const Text& description) {
        std::printf("[%s] %s\n", utf8(automation::formatDate(when)).c_str(),
                    utf8(description).c_str());
        std::fflush(stdout);
    });

    auto& r = *report_;
    const Text path = text(options.report);
    Text name = path;
    const auto slash = name.find_last_of(u"\\/");
    if (slash != Text::npos) name.erase(0, slash + 1);
    r.in_Mapa(path);
    r.NomeDoMapa(options.nome ? text(*options.nome) : name);
    r.VersaoCRYSTAL(options.versao);
    r.in_Destino(options.destino);
    r.in_Servidor(text(options.servidor));
    r.In_NomeBaseDados(text(options.base));
    r.in_NomeBaseDados_Next(text(options.baseNext));
    r.in_UserId(text(options.user));
    r.in_Password(text(options.password));
    if (options.pedidos) r.in_Pedidos(text(*options.pedidos));
    if (options.ficheiroPdf) r.FicheiroPDF(text(*options.ficheiroPdf));
    if (options.impressora) r.in_NomeDaImpressora(text(*options.impressora));
    r.PodeMudarImpressora(options.podeMudarImpressora);
    r.NumeroDeVias(options.vias);
    r.in_OrientacaoPagina(options.orientacao);
    r.in_FormatoDoPapel(options.formatoPapel);
    r.emailTo(text(options.emailPara));
    r.emailCC(text(options.emailCc));
    r.emailSubject(text(options.emailAssunto));
    r.emailMessage(text(options.emailMensagem));
}

automation::Array ReportSession::values() const {
    // Element 0, before the first "|", is never a value.
    std::vector<Text> pieces{Text()};
    if (options_.pedidos) {
        auto split = reports::parameters::splitValues(text(*options_.pedidos));
        if (!split.empty()) pieces = std::move(split);
    }
    return automation::Array::ofTexts(pieces, 0);
}

void ReportSession::printOutcome() const {
    for (const auto& output : calls_->outputs()) {
        std::printf("output: %s: %s\n", utf8(output.kind).c_str(), utf8(output.location).c_str());
    }
    if (options_.calls) {
        std::printf("report runtime calls:\n");
        const Variant mask(u"********");
        for (auto call : calls_->calls()) {
            const bool write =
                call.kind == automation::CallKind::Put || call.kind == automation::CallKind::PutRef;
            if (call.member == u"SetLogOnInfo" && call.arguments.size() >= 4)
                call.arguments[3] = mask;
            if (write && call.member == u"Value" && !call.arguments.empty() &&
                automation::endsWith(call.object, u"(\"Password\")"))
                call.arguments.back() = mask;
            std::printf("  %s\n", utf8(call.line()).c_str());
        }
    }
    std::fflush(stdout);
}

}  // namespace vantrel::app
