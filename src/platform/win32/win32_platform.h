// The system over Windows: the module's folder, file listing, reading and deletion, the
// screen, message pumping, printers, and the user's number and date conventions.
#pragma once

#include <windows.h>

#include "automation/datetime.h"
#include "automation/locale.h"
#include "interfaces/platform.h"

namespace vantrel::platform::win32 {

class Win32Platform final : public interfaces::Platform {
public:
    // Reads the user's conventions, so each object that makes a platform follows the regional
    // settings as they stand when it is created.
    Win32Platform();
    automation::Text moduleFolder() override;
    automation::Text firstMatch(automation::TextView pattern) override;
    void deleteFile(automation::TextView path) override;
    std::vector<automation::Text> readTextLines(automation::TextView path) override;
    const automation::Clock& clock() override { return clock_; }
    const automation::Locale& locale() override { return locale_; }
    interfaces::ScreenMetrics screen() override;
    void processMessages() override;
    // Sleeps in MsgWaitForMultipleObjects until input arrives or the time is up.
    void waitForMessages(int milliseconds) override;
    std::vector<interfaces::PrinterInfo> printers() override;
    std::optional<interfaces::PrinterInfo> currentPrinter() override;
    bool folderExists(automation::TextView folder) override;
    bool appendLine(automation::TextView path, automation::TextView line) override;
    interfaces::FileProbe probeFile(automation::TextView path, std::size_t limit) override;
    bool folderWritable(automation::TextView folder) override;

private:
    automation::SystemClock clock_;
    automation::Locale locale_;
};

// The user's number and date conventions, from GetLocaleInfoW.
automation::Locale userLocale();

}  // namespace vantrel::platform::win32
