// The trace of the host events: one line per text, with date and time, in a daily file of
// the company's log folder. Only when the settings name a log folder that exists; tracing
// never fails an event.
#pragma once

#include "automation/text.h"
#include "interfaces/platform.h"

namespace vantrel::solution {

// The daily file for a log folder that ends in a backslash: <folder>QuorilVantrel_yyyymmdd.log
automation::Text traceFilePath(const automation::Text& folder, double date);
// "yyyy-mm-dd hh:mm:ss message"
automation::Text traceLine(double date, const automation::Text& message);

// Appends the message to the day's file; silently does nothing when the folder is not set
// (empty or a lone backslash), does not exist, or anything fails.
void writeTrace(interfaces::Platform* platform, const automation::Text& folder,
                const automation::Text& message) noexcept;

}  // namespace vantrel::solution
