#include "reports/engine/report_error_box.h"

#include <optional>
#include <string>

namespace vantrel::reports::engine {

using automation::Text;

Text reportErrorText(const automation::RuntimeError& error, const ProcedurePlace& place) {
    Text text = u"Erro ";
    text += automation::fromUtf8(std::to_string(error.number()));
    text += u"\r\n(";
    text += error.description();
    text += u")\r\n";
    text += automation::T("Na função ");
    text += place.procedure;
    text += u" do ";
    text += place.module;
    return text;
}

void showReportError(interfaces::Dialogs& dialogs, const automation::RuntimeError& error,
                     const ProcedurePlace& place) {
    dialogs.messageBox(reportErrorText(error, place), interfaces::msgbox::OkOnly, std::nullopt);
}

}  // namespace vantrel::reports::engine
