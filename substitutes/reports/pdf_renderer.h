// The report drawn as a PDF document in memory (cairo's PDF surface, text laid out by pango),
// for the PDF file, the e-mail attachment and the print job alike. Linux only.
#pragma once

#include <string>

#include "report_output.h"

namespace vantrel::substitutes::reports {

// The PDF's bytes: title, each parameter's prompt and values, then the rows as a table whose
// header row repeats on every page. A4, landscape when the content asks for it.
std::string renderPdf(const ReportContent& content);

}  // namespace vantrel::substitutes::reports
