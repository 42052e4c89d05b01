// Small hand-made stand-ins for unit tests of the solution and the documents: a message box
// recorder with scripted answers, a late-bound object whose members the test writes as
// lambdas, a factory, an in-memory INI file and a platform with a fixed clock.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/datetime.h"
#include "automation/object.h"
#include "interfaces/services.h"

namespace vantrel::testing {

// Records every box (text, style, title) and answers from a script; without a scripted
// answer it gives OK, or No for a Yes/No box.
class RecordingDialogs : public interfaces::Dialogs {
public:
    struct Box {
        automation::Text text;
        int style = 0;
        std::optional<automation::Text> title;
    };
    std::vector<Box> boxes;
    std::deque<int> answers;

    int messageBox(automation::TextView text, int style,
                   const std::optional<automation::Text>& title) override;
    // The recorded boxes as "title|style|text" in UTF-8, for compact assertions.
    std::vector<std::string> summary() const;
};

// The order in which the fake objects were called: "Name.Member" entries.
using CallLog = std::vector<std::string>;

// A late-bound object whose members are lambdas; a member without a lambda is a property
// (Put stores, Get reads) when it was given a value, else error 438. Every call is logged.
class ScriptedObject : public automation::Object {
public:
    using Handler =
        std::function<automation::Variant(automation::CallKind, std::span<automation::Argument>)>;
    ScriptedObject(std::string name, std::shared_ptr<CallLog> log)
        : name_(std::move(name)), log_(std::move(log)) {}

    ScriptedObject& on(automation::TextView member, Handler h);
    ScriptedObject& set(automation::TextView member, automation::Variant value);
    automation::Variant value(automation::TextView member) const;

    automation::Variant invoke(automation::TextView member, automation::CallKind kind,
                               std::span<automation::Argument> args) override;

private:
    std::string name_;
    std::shared_ptr<CallLog> log_;
    std::map<automation::Text, Handler> handlers_;
    std::map<automation::Text, automation::Variant> properties_;
};

// Creates objects by ProgID from lambdas; an unknown name is error 429.
class FakeFactory : public automation::ObjectFactory {
public:
    std::map<automation::Text, std::function<automation::ObjectRef()>> creators;
    std::vector<automation::Text> created;
    automation::ObjectRef create(automation::TextView progId) override;
};

// The catalogue answers each logical name with itself.
class SameNameCatalog : public interfaces::ComponentCatalog {
public:
    automation::Text progIdOf(automation::TextView component) override {
        return automation::Text(component);
    }
};

// INI files in memory: file -> section -> key -> value (bytes). Reads of a single key only;
// names match without regard to case, as on Windows.
class MemoryProfile : public interfaces::ProfileFunctions {
public:
    std::map<std::string, std::map<std::string, std::map<std::string, std::string>>> files;
    std::vector<std::string> readFiles;
    void set(const automation::Text& file, const automation::Text& section,
             const automation::Text& key, const automation::Text& value);

    std::uint32_t getString(const char* section, const char* key, const char* defaultText,
                            char* buffer, std::uint32_t size, const char* file) override;
    std::int32_t writeString(const char* section, const char* key, const char* text,
                             const char* file) override;
};

class FixedClock : public automation::Clock {
public:
    double date = automation::makeDate(2024, 3, 15, 10, 30, 5);
    double now() const override { return date; }
};

class FakePlatform : public interfaces::Platform {
public:
    automation::Text module = u"C:\\Programas\\QuorilVantrel";
    std::vector<automation::Text> folders;                                // folders that exist
    std::vector<std::pair<automation::Text, automation::Text>> appended;  // (file, line)
    bool appendFails = false;
    FixedClock fixedClock;

    automation::Text moduleFolder() override { return module; }
    automation::Text firstMatch(automation::TextView) override { return automation::Text(); }
    std::vector<automation::Text> deleted;
    void deleteFile(automation::TextView path) override { deleted.emplace_back(path); }
    std::vector<automation::Text> readTextLines(automation::TextView) override { return {}; }
    const automation::Clock& clock() override { return fixedClock; }
    interfaces::ScreenMetrics screen() override { return {}; }
    void processMessages() override {}
    std::vector<interfaces::PrinterInfo> printers() override { return {}; }
    std::optional<interfaces::PrinterInfo> currentPrinter() override { return std::nullopt; }
    bool folderExists(automation::TextView folder) override;
    bool appendLine(automation::TextView path, automation::TextView line) override;
};

// Everything a Solucao needs, wired together.
struct FakeServices {
    FakeFactory factory;
    SameNameCatalog catalog;
    RecordingDialogs dialogs;
    MemoryProfile profile;
    FakePlatform platform;
    interfaces::Services services() {
        return interfaces::Services{&factory, &catalog, &dialogs, &profile, &platform};
    }
};

std::string utf8(automation::TextView text);

}  // namespace vantrel::testing
