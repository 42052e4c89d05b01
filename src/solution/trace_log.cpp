#include "solution/trace_log.h"

#include "automation/datetime.h"

namespace vantrel::solution {

using automation::Text;

Text traceFilePath(const Text& folder, double date) {
    return folder + u"QuorilVantrel_" + automation::timestamp(date, true).substr(0, 8) + u".log";
}

Text traceLine(double date, const Text& message) {
    return automation::timestamp(date) + u" " + message;
}

void writeTrace(interfaces::Platform* platform, const Text& folder, const Text& message) noexcept {
    try {
        if (!platform || folder.empty() || folder == u"\\") return;
        Text dir = folder;
        Text file = folder;
        if (automation::endsWith(dir, u"\\")) {
            dir.pop_back();
        } else {
            file += u"\\";
        }
        if (!platform->folderExists(dir)) return;
        double now = platform->clock().now();
        platform->appendLine(traceFilePath(file, now), traceLine(now, message));
    } catch (...) {
        // A trace that cannot be written is dropped.
    }
}

}  // namespace vantrel::solution
