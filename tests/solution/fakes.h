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

using automation::Argument;
using automation::CallKind;
using automation::Object;
using automation::ObjectRef;
using automation::Text;
using automation::TextView;
using automation::Variant;

// Records every box (text, style, title) and answers from a script; without a scripted
// answer it gives OK, or No for a Yes/No box.
class RecordingDialogs : public interfaces::Dialogs {
public:
    struct Box {
        Text text;
        int style = 0;
        std::optional<Text> title;
    };
    std::vector<Box> boxes;
    std::deque<int> answers;

    int messageBox(TextView text, int style, const std::optional<Text>& title) override;
    // The recorded boxes as "title|style|text" in UTF-8, for compact assertions.
    std::vector<std::string> summary() const;
};

// The order in which the fake objects were called: "Name.Member" entries.
using CallLog = std::vector<std::string>;

// A late-bound object whose members are lambdas; a member without a lambda is a property
// (Put stores, Get reads) when it was given a value, else error 438. Every call is logged.
class ScriptedObject : public Object {
public:
    using Handler = std::function<Variant(CallKind, std::span<Argument>)>;
    ScriptedObject(std::string name, std::shared_ptr<CallLog> log)
        : name_(std::move(name)), log_(std::move(log)) {}

    ScriptedObject& on(TextView member, Handler h);
    ScriptedObject& set(TextView member, Variant value);
    Variant value(TextView member) const;

    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) override;

private:
    std::string name_;
    std::shared_ptr<CallLog> log_;
    std::map<Text, Handler> handlers_;
    std::map<Text, Variant> properties_;
};

// Creates objects by ProgID from lambdas; an unknown name is error 429.
class FakeFactory : public automation::ObjectFactory {
public:
    std::map<Text, std::function<ObjectRef()>> creators;
    std::vector<Text> created;
    ObjectRef create(TextView progId) override;
};

// The catalogue answers each logical name with itself.
class SameNameCatalog : public interfaces::ComponentCatalog {
public:
    Text progIdOf(TextView component) override { return Text(component); }
};

// INI files in memory: file -> section -> key -> value (bytes). Reads of a single key only;
// names match without regard to case, as on Windows.
class MemoryProfile : public interfaces::ProfileFunctions {
public:
    std::map<std::string, std::map<std::string, std::map<std::string, std::string>>> files;
    std::vector<std::string> readFiles;
    void set(const Text& file, const Text& section, const Text& key, const Text& value);

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
    Text module = u"C:\\Programas\\QuorilVantrel";
    std::vector<Text> folders;                    // folders that exist
    std::vector<std::pair<Text, Text>> appended;  // (file, line)
    bool appendFails = false;
    FixedClock fixedClock;

    Text moduleFolder() override { return module; }
    Text firstMatch(TextView) override { return Text(); }
    std::vector<Text> deleted;
    void deleteFile(TextView path) override { deleted.emplace_back(path); }
    std::vector<Text> readTextLines(TextView) override { return {}; }
    const automation::Clock& clock() override { return fixedClock; }
    interfaces::ScreenMetrics screen() override { return {}; }
    void processMessages() override {}
    std::vector<interfaces::PrinterInfo> printers() override { return {}; }
    std::optional<interfaces::PrinterInfo> currentPrinter() override { return std::nullopt; }
    bool folderExists(TextView folder) override;
    bool appendLine(TextView path, TextView line) override;
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

std::string utf8(TextView text);

}  // namespace vantrel::testing
