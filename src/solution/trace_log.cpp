#include "solution/trace_log.h"

#include <cstdio>

#include "automation/datetime.h"

namespace vantrel::solution {

namespace {

Text twoDigits(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return automation::fromUtf8(buf);
}

Text fourDigits(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04d", n);
    return automation::fromUtf8(buf);
}

}  // namespace

Text traceFilePath(const Text& folder, double date) {
    automation::DateParts d = automation::splitDate(date);
    return folder + u"QuorilVantrel_" + fourDigits(d.year) + twoDigits(d.month) + twoDigits(d.day) +
           u".log";
}

Text traceLine(double date, const Text& message) {
    automation::DateParts d = automation::splitDate(date);
    return fourDigits(d.year) + u"-" + twoDigits(d.month) + u"-" + twoDigits(d.day) + u" " +
           twoDigits(d.hour) + u":" + twoDigits(d.minute) + u":" + twoDigits(d.second) + u" " +
           message;
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
