// Shared pieces of the stand-in tests: a company in a fresh data folder, INI files held in
// memory behind the ProfileFunctions port, and message boxes that answer from a script.
#pragma once

#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "erp/company_database.h"
#include "interfaces/dialogs.h"
#include "interfaces/profile_functions.h"
#include "registry.h"

namespace vantrel::substitutes::erp::testing {

// INI files in memory, keyed by the exact bytes the caller passes (Windows-1252), so a
// section name sent in any other encoding is simply not found. Only value reads are served.
class MemoryProfile : public interfaces::ProfileFunctions {
public:
    void set(automation::TextView file, automation::TextView section, automation::TextView key,
             automation::TextView value);
    std::uint32_t getString(const char* section, const char* key, const char* defaultText,
                            char* buffer, std::uint32_t size, const char* file) override;
    std::int32_t writeString(const char*, const char*, const char*, const char*) override {
        return 0;
    }

    int reads = 0;

private:
    std::map<std::string, std::map<std::string, std::map<std::string, std::string>>> files_;
};

struct RecordedBox {
    automation::Text text;
    int style;
    std::optional<automation::Text> title;
};

class ScriptedDialogs : public interfaces::Dialogs {
public:
    int messageBox(automation::TextView text, int style,
                   const std::optional<automation::Text>& title) override;
    std::deque<int> answers;  // empty: OK for OK boxes, No for Yes/No boxes
    std::vector<RecordedBox> boxes;
};

// A data folder of its own with one company database, "EMP01", holding articles, an ERP user
// and a SQL login, and a settings file for it in the memory profile.
class CompanyFixture : public ::testing::Test {
protected:
    static constexpr char16_t kCatalog[] = u"EMP01";
    static constexpr char16_t kSettings[] = u"C:\\dados\\talmek\\VANTREL.EMP01";

    void SetUp() override;
    void TearDown() override;

    StandInContext context() { return StandInContext{&profile, &dialogs, nullptr}; }
    // A NextApiConnection logged into EMP01.
    automation::ObjectRef connectedApi();
    // A CoreDataAccess open on EMP01 with integrated security.
    automation::ObjectRef openDataAccess();

    std::filesystem::path folder;
    MemoryProfile profile;
    ScriptedDialogs dialogs;
    StandInRegistry registry;
};

// A late-bound object that forwards every call to another one, as an object reaching the
// stand-ins through a COM bridge looks: same members, but not one of our C++ classes.
class Forwarder : public automation::Object {
public:
    explicit Forwarder(automation::ObjectRef target) : target_(std::move(target)) {}
    automation::Variant invoke(automation::TextView member, automation::CallKind kind,
                               std::span<automation::Argument> args) override {
        return target_.invoke(member, kind, args);
    }

private:
    automation::ObjectRef target_;
};

// The number of an error raised by `body`, or 0 when it raised nothing.
template <class F>
std::int32_t errorNumber(F&& body) {
    try {
        body();
    } catch (const automation::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace vantrel::substitutes::erp::testing
