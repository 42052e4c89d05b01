// Platform services on Linux. Windows paths are translated: backslashes become slashes and
// a drive letter "C:" is dropped, so "C:\dados\talmek" is "/dados/talmek".
#pragma once

#include <string>

#include "interfaces/platform.h"

namespace vantrel::platform::posix {

using interfaces::PrinterInfo;
using interfaces::ScreenMetrics;
using interfaces::Text;
using interfaces::TextView;

// The Linux path for a Windows-style path of the system (UTF-8 result).
std::string nativePath(TextView windowsPath);

class PosixPlatform : public interfaces::Platform {
public:
    // moduleFolder: where the add-in's "library file" lives; the vantrel program passes the
    // folder of its own executable.
    explicit PosixPlatform(Text moduleFolder = Text());

    Text moduleFolder() override { return moduleFolder_; }
    Text firstMatch(TextView pattern) override;
    void deleteFile(TextView path) override;
    std::vector<Text> readTextLines(TextView path) override;
    const automation::Clock& clock() override { return clock_; }
    // Portugal's conventions unless a caller (a test) set others.
    const automation::Locale& locale() override { return locale_; }
    ScreenMetrics screen() override { return screen_; }
    void processMessages() override {}
    // The CUPS destinations (driver "cups", port the device URI or "CUPS") unless a test
    // supplied its own list; no CUPS server answers an empty list at once.
    std::vector<PrinterInfo> printers() override;
    // The first supplied printer, else the CUPS default destination.
    std::optional<PrinterInfo> currentPrinter() override;
    bool folderExists(TextView folder) override;
    bool appendLine(TextView path, TextView line) override;
    interfaces::FileProbe probeFile(TextView path, std::size_t limit) override;
    bool folderWritable(TextView folder) override;

    void setScreen(const ScreenMetrics& s) { screen_ = s; }
    void setPrinters(std::vector<PrinterInfo> p) { printers_ = std::move(p); }
    void setLocale(const automation::Locale& l) { locale_ = l; }

private:
    Text moduleFolder_;
    automation::SystemClock clock_;
    automation::Locale locale_ = automation::Locale::portugal();
    ScreenMetrics screen_;
    std::optional<std::vector<PrinterInfo>> printers_;
};

// Dir()-style match of one name against a pattern with * and ?, case-insensitive as on
// Windows file systems.
bool wildcardMatch(TextView pattern, TextView name);

}  // namespace vantrel::platform::posix
