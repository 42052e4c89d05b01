// vantrel report open: the interactive road through a report, in the terminal. AbrirMapa
// builds the prompt rows on a parameter window held in memory; the terminal shows them, takes
// one answer a line, and then offers the window's buttons, which call the report object's
// outputs as a parameter window's own code would. The screen output shows the report's rows
// as a text table.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>

#include "automation/datetime.h"
#include "automation/runtime_error.h"
#include "commands.h"
#include "report_session.h"
#include "reports/engine/frm_doc_crystal.h"
#include "reports/report_output.h"
#include "reports/runtime_objects.h"
#include "windows/viewer_port.h"
#include "windows/window_model.h"

namespace vantrel::app {

using automation::Variant;

namespace {

namespace engine = reports::engine;
namespace model = substitutes::windows;
namespace win = interfaces::windows;

const std::string kOpenUsage =
    std::string(
        "usage: vantrel report open REPORT [options]\n"
        "\n"
        "Opens REPORT with CrystalReportMain.AbrirMapa on a parameter window of the terminal:\n"
        "the rows are shown in order with their caption, kind and start value, and each row\n"
        "takes one answer a line (an empty line keeps the value shown; check boxes take s or n,\n"
        "lists the numbers of their entries). Then the window's buttons:\n"
        "  e  screen (VisualizarEcran): the report's rows as a text table\n"
        "  i  printer (VisualizarImpressora)\n"
        "  p  PDF (VisualizarPDF)\n"
        "  c  choose the destination (1 to 5) and the copies (EscolheDestino), then that output\n"
        "  s  leave\n"
        "Answers can be piped in, one a line, so the whole road can be scripted.\n"
        "\n"
        "options (those of report run):\n") +
    kReportOptionsHelp +
    "\n"
    "Exit code: 0 when no message box was shown, 1 otherwise, 2 for a wrong call.\n";

std::string utf8(automation::TextView t) {
    return automation::toUtf8(t);
}

// One line of the terminal's input; false at its end. Piped answers are echoed so that the
// transcript reads like a session.
bool readLine(std::string& line) {
    std::fflush(stdout);
    if (!std::getline(std::cin, line)) {
        std::printf("\n");
        return false;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!isatty(STDIN_FILENO)) std::printf("%s\n", line.c_str());
    return true;
}

std::size_t width(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

std::string padded(const std::string& s, std::size_t w, bool right) {
    const std::string fill(w > width(s) ? w - width(s) : 0, ' ');
    return right ? fill + s : s + fill;
}

void printRows(const model::ModelWindow& window) {
    std::printf("\n== %s ==\n", utf8(window.property(u"Caption").toText()).c_str());
    for (const auto& row : model::shownRows(window)) {
        std::printf("%2d. %s [%s] %s", row.row, utf8(row.caption).c_str(), utf8(row.kind).c_str(),
                    utf8(row.value).c_str());
        if (!row.offered.empty()) {
            std::printf("  (");
            for (std::size_t k = 0; k < row.offered.size(); ++k)
                std::printf("%s%zu %s", k ? ", " : "", k + 1, utf8(row.offered[k]).c_str());
            std::printf(")");
        }
        if (!row.enabled) std::printf("  (fixo)");
        std::printf("\n");
    }
}

std::vector<std::size_t> numbersIn(const std::string& answer) {
    std::vector<std::size_t> out;
    std::size_t i = 0;
    while (i < answer.size()) {
        if (!std::isdigit(static_cast<unsigned char>(answer[i]))) {
            ++i;
            continue;
        }
        std::size_t n = 0;
        while (i < answer.size() && std::isdigit(static_cast<unsigned char>(answer[i])))
            n = n * 10 + static_cast<std::size_t>(answer[i++] - '0');
        out.push_back(n);
    }
    return out;
}

// Gives row `row` the answer; a wrong answer says why and keeps the value.
void answerRow(model::ModelWindow& window, const model::ShownRow& row, const std::string& answer) {
    const automation::Text text = automation::fromUtf8(answer);
    auto element = [&](const char16_t* array) { return window.array(array)->item(row.row); };
    auto entry = [&](std::size_t n, std::size_t count) {
        if (n < 1 || n > count)
            throw automation::RuntimeError(automation::errc::InvalidPropertyValue);
        return n - 1;
    };
    try {
        if (row.kind == u"caixa") {
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(answer[0])));
            if (c != 's' && c != 'n' && c != '1' && c != '0' && c != 'x')
                throw automation::RuntimeError(automation::errc::InvalidPropertyValue,
                                               automation::Text(), u"s ou n");
            element(u"chkCampo")
                ->set(u"Value",
                      Variant(c == 's' || c == '1' || c == 'x' ? win::kChecked : win::kUnchecked));
        } else if (row.kind == u"data") {
            element(u"dtCampo")->set(u"Value", Variant(text));
        } else if (row.kind == u"lista") {
            auto list = element(u"EscolhaMultipla");
            std::vector<bool> chosen(list->items().size());
            for (std::size_t n : numbersIn(answer)) chosen[entry(n, chosen.size())] = true;
            for (std::size_t k = 0; k < chosen.size(); ++k) list->select(k, chosen[k]);
        } else if (row.kind == u"escolha") {
            auto combo = element(u"Combo");
            const auto numbers = numbersIn(answer);
            if (numbers.size() != 1)
                throw automation::RuntimeError(automation::errc::InvalidPropertyValue,
                                               automation::Text(), u"um número");
            combo->set(
                u"ListIndex",
                Variant(static_cast<std::int32_t>(entry(numbers[0], combo->items().size()))));
        } else {
            element(u"txtCampo")->set(u"Text", Variant(text));
        }
    } catch (const automation::RuntimeError& e) {
        std::printf("   resposta não aceite (%s); fica %s\n", utf8(e.description()).c_str(),
                    utf8(row.value).c_str());
    }
}

// One answer a line for each row the user can change; false when the input ended.
bool askRows(model::ModelWindow& window) {
    for (const auto& row : model::shownRows(window)) {
        if (!row.enabled) continue;
        std::printf("%2d. %s [%s] %s: ", row.row, utf8(row.caption).c_str(), utf8(row.kind).c_str(),
                    utf8(row.value).c_str());
        std::string answer;
        if (!readLine(answer)) return false;
        if (!answer.empty()) answerRow(window, row, answer);
    }
    return true;
}

// The destination frame of the terminal's window: a code from 1 to 5 and the copies. Shown
// by EscolheDestino; the end of the input closes the window without a choice.
void chooseDestination(model::ModelWindow& window) {
    auto copies = window.control(u"NumeroVias");
    std::string answer;
    for (;;) {
        std::printf("Destino (1 ecrã, 2 impressora, 3 PDF, 4 e-mail, 5 Excel): ");
        if (!readLine(answer)) {
            window.unload();
            return;
        }
        const auto numbers = numbersIn(answer);
        if (numbers.size() == 1 && numbers[0] >= 1 && numbers[0] <= 5) {
            std::printf("Vias [%s]: ", utf8(copies->text()).c_str());
            std::string vias;
            if (!readLine(vias)) {
                window.unload();
                return;
            }
            const auto n = numbersIn(vias);
            if (!vias.empty() && n.size() == 1 && n[0] >= 1 && n[0] <= 32767)
                copies->set(u"Text", Variant(automation::fromUtf8(std::to_string(n[0]))));
            window.set(u"Destino", Variant(static_cast<std::int16_t>(numbers[0])));
            return;
        }
    }
}

// The viewer window of the terminal: the report the visible control shows, as a table.
void printViewer(const model::StandInViewerPort::Shown& shown,
                 substitutes::reports::ReportViewer* visible) {
    std::printf("\n== %s ==\n", utf8(shown.caption).c_str());
    if (!visible) {
        std::printf("(no viewer control for this runtime version)\n");
        return;
    }
    auto report = std::dynamic_pointer_cast<substitutes::reports::CrystalReport>(
        visible->reportSource().shared());
    if (!report) {
        std::printf("(nothing to show)\n");
        return;
    }
    const substitutes::reports::ReportContent content = report->content();
    std::printf("%s\n", utf8(content.title).c_str());
    for (const auto& p : content.parameters) {
        std::printf("  %s: %s\n", utf8(substitutes::reports::shownPrompt(p.prompt)).c_str(),
                    utf8(substitutes::reports::shownValues(p.values)).c_str());
    }
    const auto& data = content.data;
    if (data.columns.empty()) {
        std::printf("(the report has no rows)\n");
        return;
    }
    std::vector<std::size_t> widths;
    for (const auto& c : data.columns) widths.push_back(width(utf8(c)));
    for (const auto& row : data.rows) {
        for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], width(utf8(row[i].text)));
    }
    auto rule = [&] {
        std::string line = "+";
        for (std::size_t w : widths) line += std::string(w + 2, '-') + "+";
        std::printf("%s\n", line.c_str());
    };
    rule();
    std::string head = "|";
    for (std::size_t i = 0; i < widths.size(); ++i)
        head += " " + padded(utf8(data.columns[i]), widths[i], false) + " |";
    std::printf("%s\n", head.c_str());
    rule();
    for (const auto& row : data.rows) {
        std::string line = "|";
        for (std::size_t i = 0; i < widths.size(); ++i) {
            const bool number = i < row.size() && row[i].number.has_value();
            const std::string cell = i < row.size() ? utf8(row[i].text) : std::string();
            line += " " + padded(cell, widths[i], number) + " |";
        }
        std::printf("%s\n", line.c_str());
    }
    rule();
    std::printf("%zu row(s)\n", data.rows.size());
}

void runOutput(engine::CrystalReportMain& report, std::int16_t destino) {
    switch (destino) {
        case 1:
            report.VisualizarEcran(true);
            break;
        case 2:
            report.VisualizarImpressora(false, true);
            break;
        case 3:
            report.VisualizarPDF(true);
            break;
        case 4:
            report.VisualizarEmail(true);
            break;
        case 5:
            report.VisualizarExcel(true);
            break;
        default:
            std::printf("no destination chosen\n");
            break;
    }
}

int open(const ReportOptions& options) {
    ReportSession session(options);
    engine::CrystalReportMain& report = session.report();

    auto window = model::makeParameterWindow(session.platform().clock().now());
    window->onShow = [](model::ModelWindow& w, std::int16_t) {
        if (w.control(u"FrameDestino")->flag(u"Visible")) chooseDestination(w);
    };
    report.JanelaParametros(automation::ObjectRef(window));
    auto port = std::make_unique<model::StandInViewerPort>(session.registry());
    port->onShow = printViewer;
    auto viewer = std::make_shared<engine::frmDocCrystal>(session.platform(), std::move(port));
    report.JanelaVisualizador(automation::ObjectRef(viewer));
    report.JanelaModal(true);

    report.AbrirMapa();
    if (!window->visible()) {
        std::printf("result: the parameter window was not shown\n");
        session.printOutcome();
        return 1;
    }
    printRows(*window);
    bool more = askRows(*window);
    if (more) printRows(*window);
    while (more && window->visible()) {
        std::printf("\n[e] ecrã  [i] impressora  [p] PDF  [c] escolher destino  [s] sair: ");
        std::string answer;
        if (!readLine(answer)) break;
        const char button =
            answer.empty() ? ' '
                           : static_cast<char>(std::tolower(static_cast<unsigned char>(answer[0])));
        if (button == 'e') {
            report.VisualizarEcran(true);
        } else if (button == 'i') {
            report.VisualizarImpressora(false, true);
        } else if (button == 'p') {
            report.VisualizarPDF(true);
        } else if (button == 'c') {
            std::int16_t destino = 0;
            std::int16_t vias = 0;
            const std::int16_t proposed = std::max<std::int16_t>(report.NumeroDeVias(), 1);
            report.EscolheDestino(proposed, destino, vias, window->property(u"Caption").toText());
            if (destino >= 1 && destino <= 5) report.NumeroDeVias(vias);
            runOutput(report, destino);
        } else if (button == 's') {
            break;
        } else {
            std::printf("e, i, p, c or s\n");
        }
    }
    report.QueroSair();
    if (window->loaded()) window->unload();
    session.printOutcome();
    if (session.boxesShown() > 0)
        std::printf("note: %d message box(es) shown\n", session.boxesShown());
    std::fflush(stdout);
    return session.boxesShown() > 0 ? 1 : 0;
}

}  // namespace

int runReportOpen(const Arguments& args) {
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(kOpenUsage.c_str(), stdout);
            return 0;
        }
    }
    try {
        return open(parseReportOptions(args, "open"));
    } catch (const UsageError& e) {
        std::fprintf(stderr, "vantrel report open: %s\n\n%s", e.message.c_str(),
                     kOpenUsage.c_str());
        return 2;
    }
}

}  // namespace vantrel::app
