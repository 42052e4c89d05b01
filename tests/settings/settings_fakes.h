// Test doubles for the settings tests: a temporary INI file, profile functions that record
// their calls, a window with the members the position operations use, a screen.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "automation/object.h"
#include "interfaces/platform.h"
#include "interfaces/profile_functions.h"

namespace vantrel::tests::settings {

// A folder of its own under the test's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    // The Windows path the system would use for a file of this folder ("Z:\...").
    automation::Text windowsPath(const std::string& name) const;
    std::string read(const std::string& name) const;
    void write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path path_;
};

// Profile functions that answer from a script and remember every call.
class RecordingProfile : public interfaces::ProfileFunctions {
public:
    struct Call {
        std::optional<std::string> section, key, text;  // nullopt: null pointer
        std::uint32_t size = 0;
        std::string buffer;  // what the buffer held when the call came
        std::string file;
    };
    std::vector<Call> calls;
    std::string answer;       // bytes a get copies into the buffer
    std::uint32_t count = 0;  // what a get returns
    std::int32_t writeResult = 1;

    std::uint32_t getString(const char* section, const char* key, const char* defaultText,
                            char* buffer, std::uint32_t size, const char* file) override;
    std::int32_t writeString(const char* section, const char* key, const char* text,
                             const char* file) override;
};

// A screen for the position operations; everything else is unused.
class ScreenPlatform : public interfaces::Platform {
public:
    interfaces::ScreenMetrics metrics;
    automation::Text moduleFolder() override { return automation::Text(); }
    automation::Text firstMatch(automation::TextView) override { return automation::Text(); }
    void deleteFile(automation::TextView) override {}
    std::vector<automation::Text> readTextLines(automation::TextView) override { return {}; }
    const automation::Clock& clock() override { return clock_; }
    interfaces::ScreenMetrics screen() override { return metrics; }
    void processMessages() override {}
    std::vector<interfaces::PrinterInfo> printers() override { return {}; }
    std::optional<interfaces::PrinterInfo> currentPrinter() override { return std::nullopt; }

private:
    automation::SystemClock clock_;
};

// A window in twips. Members are those of a form; `missing` names one it lacks.
class FakeWindow : public automation::Object {
public:
    automation::Variant windowState = automation::Variant::longValue(0);
    automation::Variant left = 1000.0, top = 800.0, width = 5000.0, height = 4000.0;
    std::vector<std::vector<std::int32_t>> moves;
    automation::Text missing;

    automation::Variant invoke(automation::TextView member, automation::CallKind kind,
                               std::span<automation::Argument> args) override;
};

}  // namespace vantrel::tests::settings
