// Platform services on Linux. Windows paths are translated: backslashes become slashes and
// a drive letter "C:" is dropped, so "C:\dados\talmek" is "/dados/talmek".
#pragma once

#include <string>

#include "interfaces/platform.h"

namespace vantrel::platform::posix {

// The Linux path for a Windows-style path of the system (UTF-8 result).
std::string nativePath(automation::TextView windowsPath);

class PosixPlatform : public interfaces::Platform {
public:
    // moduleFolder: where the add-in's "library file" lives; the vantrel program passes the
    // folder of its own executable.
    explicit PosixPlatform(automation::Text moduleFolder = automation::Text());

    automation::Text moduleFolder() override { return moduleFolder_; }
    automation::Text firstMatch(automation::TextView pattern) override;
    void deleteFile(automation::TextView path) override;
    std::vector<automation::Text> readTextLines(automation::TextView path) override;
    const automation::Clock& clock() override { return clock_; }
    // Portugal's conventions unless a caller (a test) set others.
    const automation::Locale& locale() override { return locale_; }
    interfaces::ScreenMetrics screen() override { return screen_; }
    void processMessages() override {}
    // The CUPS destinations (driver "cups", port the device URI or "CUPS") unless a test
    // supplied its own list; no CUPS server answers an empty list at once.
    std::vector<interfaces::PrinterInfo> printers() override;
    // The first supplied printer, else the CUPS default destination.
    std::optional<interfaces::PrinterInfo> currentPrinter() override;
    bool folderExists(automation::TextView folder) override;
    bool appendLine(automation::TextView path, automation::TextView line) override;
    interfaces::FileProbe probeFile(automation::TextView path, std::size_t limit) override;
    bool folderWritable(automation::TextView folder) override;

    void setScreen(const interfaces::ScreenMetrics& s) { screen_ = s; }
    void setPrinters(std::vector<interfaces::PrinterInfo> p) { printers_ = std::move(p); }
    void setLocale(const automation::Locale& l) { locale_ = l; }

private:
    automation::Text moduleFolder_;
    automation::SystemClock clock_;
    automation::Locale locale_ = automation::Locale::portugal();
    interfaces::ScreenMetrics screen_;
    std::optional<std::vector<interfaces::PrinterInfo>> printers_;
};

// Dir()-style match of one name against a pattern with * and ?, case-insensitive as on
// Windows file systems.
bool wildcardMatch(automation::TextView pattern, automation::TextView name);

}  // namespace vantrel::platform::posix
