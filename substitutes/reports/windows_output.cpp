// The outputs in the Windows build of the stand-ins, which has none of the Linux rendering
// libraries: every disk export writes the plain-text account, and neither mail nor print jobs
// leave the process; their calls are recorded as they always were.
#include "report_output.h"

namespace vantrel::substitutes::reports {

using automation::Text;
using automation::TextView;

OutputResult exportPdf(const ReportContent& content, TextView file) {
    return exportTextAccount(content, file);
}

OutputResult exportSpreadsheet(const ReportContent& content, TextView file) {
    return exportTextAccount(content, file);
}

OutputResult mailReport(const ReportContent&, const MailFields&, TextView) {
    return {std::nullopt, u"nothing written (destination is not a disk file)"};
}

OutputResult printReport(const ReportContent&, TextView, int, TextView) {
    return {std::nullopt, Text()};
}

}  // namespace vantrel::substitutes::reports
