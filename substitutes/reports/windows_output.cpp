// The outputs in the Windows build of the stand-ins, which has none of the Linux rendering
// libraries: every disk export writes the plain-text account, and neither mail nor print jobs
// leave the process (the call log says so).
#include "report_output.h"

namespace vantrel::substitutes::reports {

OutputResult exportPdf(const ReportContent& content, TextView file) {
    return exportTextAccount(content, file);
}

OutputResult exportSpreadsheet(const ReportContent& content, TextView file) {
    return exportTextAccount(content, file);
}

OutputResult mailReport(const ReportContent&, const MailFields& mail, TextView) {
    return {std::nullopt, u"not sent to " + mail.to + u" (no mail system in this stand-in)"};
}

OutputResult printReport(const ReportContent&, TextView printer, int, TextView) {
    return {std::nullopt, u"not printed on " + Text(printer) + u" (no printing in this stand-in)"};
}

}  // namespace vantrel::substitutes::reports
