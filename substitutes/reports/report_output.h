// What the stand-in runtime's Export and PrintOut produce. The report object gathers what a
// user sees (title, parameters with their values, the rows of its query) into one
// ReportContent and hands it to these functions. On Linux they make real files: a PDF drawn
// with cairo and pango, an Office Open XML workbook, an RFC 5322 message in the outbox and a
// print job for CUPS (or a PDF in the printed folder). The Windows build of the stand-ins
// writes the plain-text account for every disk file and sends neither mail nor print jobs.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "call_log.h"
#include "report_data.h"

namespace vantrel::substitutes::reports {

struct ShownParameter {
    automation::Text prompt;  // as the report holds it, with its two ordering characters
    std::vector<automation::Variant> values;
};

struct ReportContent {
    automation::Text label;  // the report's name in the call log ("VendasPorArtigo.rpt")
    automation::Text title;
    bool landscape = false;
    std::vector<ShownParameter> parameters;
    std::vector<std::pair<automation::Text, automation::Text>>
        tables;                   // name and catalog, for the text account
    automation::Text formatType;  // FormatType as written, for the same
    ReportRows data;
};

struct MailFields {
    automation::Text to;
    automation::Text cc;
    automation::Text subject;
    automation::Text message;
    automation::Text attachmentName;  // the PDF's file name in the message
};

// What one output did: where it went (nothing when it produced nothing) and the call log's
// note for it.
struct OutputResult {
    std::optional<ProducedOutput> produced;
    automation::Text note;
};

// A prompt as the user reads it: without its two ordering characters ("01Data inicial").
automation::Text shownPrompt(const automation::Text& prompt);
// Current values as the user reads them, joined by ", ".
automation::Text shownValues(const std::vector<automation::Variant>& values);

// Disk files; a file that cannot be written is a RuntimeError.
OutputResult exportPdf(const ReportContent& content, automation::TextView file);
OutputResult exportSpreadsheet(const ReportContent& content, automation::TextView file);
// The plain-text account of the report, for formats that have no renderer.
OutputResult exportTextAccount(const ReportContent& content, automation::TextView file);

// One message with the report as a PDF attachment, written into `outboxFolder`.
OutputResult mailReport(const ReportContent& content, const MailFields& mail,
                        automation::TextView outboxFolder);

// To the CUPS destination named `printer` when there is one, else into `printedFolder`.
OutputResult printReport(const ReportContent& content, automation::TextView printer, int copies,
                         automation::TextView printedFolder);

}  // namespace vantrel::substitutes::reports
