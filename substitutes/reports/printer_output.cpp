// Printing: the report's PDF goes to the CUPS destination of the report's printer when CUPS
// knows one by that name; otherwise (no CUPS, no such printer, no printer at all) it lands in
// the printed folder, so a job is never lost and never waits for anybody. Linux only.
#include <cups/cups.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "automation/runtime_error.h"
#include "output_files.h"
#include "pdf_renderer.h"

namespace vantrel::substitutes::reports {

using automation::fromUtf8;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::toUtf8;

namespace {

Text copiesText(int copies) {
    return fromUtf8(std::to_string(copies)) + (copies == 1 ? u" copy" : u" copies");
}

bool cupsKnows(const std::string& printer) {
    if (printer.empty()) return false;
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.c_str(), nullptr);
    if (!dest) return false;
    cupsFreeDests(1, dest);
    return true;
}

OutputResult sendToCups(const std::string& pdf, const std::string& printer, const Text& title,
                        int copies) {
    char temporary[] = "/tmp/vantrel-print-XXXXXX";
    const int fd = mkstemp(temporary);
    if (fd < 0 || write(fd, pdf.data(), pdf.size()) != static_cast<ssize_t>(pdf.size())) {
        if (fd >= 0) {
            close(fd);
            std::remove(temporary);
        }
        throw RuntimeError(automation::errc::PathFileAccessError, u"CrystalRuntime",
                           u"PrintOut: cannot write the print job");
    }
    close(fd);
    cups_option_t* options = nullptr;
    int count = cupsAddOption("copies", std::to_string(copies).c_str(), 0, &options);
    count = cupsAddOption("document-format", "application/pdf", count, &options);
    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, printer.c_str(), temporary,
                                   toUtf8(title).c_str(), count, options);
    cupsFreeOptions(count, options);
    std::remove(temporary);
    const Text name = fromUtf8(printer);
    if (job == 0) {
        throw RuntimeError(automation::errc::ApplicationDefined, u"CrystalRuntime",
                           u"PrintOut: printer " + name + u" refused the job (" +
                               fromUtf8(cupsLastErrorString()) + u")");
    }
    return {ProducedOutput{u"printer " + name, name}, u"sent to printer " + name + u" as job " +
                                                          fromUtf8(std::to_string(job)) + u", " +
                                                          copiesText(copies)};
}

}  // namespace

OutputResult printReport(const ReportContent& content, TextView printer, int copies,
                         TextView printedFolder) {
    if (copies < 1) copies = 1;
    const std::string pdf = renderPdf(content);
    const std::string device = toUtf8(printer);
    if (cupsKnows(device)) return sendToCups(pdf, device, content.title, copies);

    std::FILE* file = nullptr;
    const std::string suffix = " x" + std::to_string(copies) + ".pdf";
    const auto path =
        createUniqueFile(outputFolder(printedFolder), fileNameSafe(content.label), suffix, file);
    const bool written = std::fwrite(pdf.data(), 1, pdf.size(), file) == pdf.size();
    const bool closed = std::fclose(file) == 0;
    const Text where = fromUtf8(path.string());
    if (!written || !closed) {
        throw RuntimeError(automation::errc::PathFileAccessError, u"CrystalRuntime",
                           u"PrintOut: cannot write " + where);
    }
    const Text why =
        printer.empty() ? Text(u"no printer chosen") : u"no CUPS printer " + Text(printer);
    return {ProducedOutput{u"printed file", where},
            u"printed to " + where + u" (" + why + u"), " + copiesText(copies)};
}

}  // namespace vantrel::substitutes::reports
