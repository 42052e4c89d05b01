#include "reports/report_test_support.h"

#include <atomic>
#include <stdexcept>

#include <unistd.h>

namespace vantrel::reports::testing {

using automation::Argument;
using automation::CallKind;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;
namespace errc = automation::errc;

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("vantrel_reports_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

Text TempFolder::file(const std::string& name) const {
    return automation::fromUtf8((path_ / name).string());
}

Text TempFolder::write(const std::string& name, const std::string& bytes) const {
    auto target = path_ / name;
    std::filesystem::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << bytes;
    return automation::fromUtf8(target.string());
}

void makeCompanyDatabase(const std::filesystem::path& dataFolder, const std::string& catalog,
                         const std::vector<std::string>& tables) {
    auto folder = dataFolder / "databases";
    std::filesystem::create_directories(folder);
    auto file = folder / (catalog + ".sqlite");
    sqlite3* db = nullptr;
    if (sqlite3_open(file.string().c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot create " + file.string());
    }
    for (const auto& t : tables) {
        std::string sql = "CREATE TABLE IF NOT EXISTS \"" + t + "\" (id INTEGER)";
        char* error = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::string message = error ? error : "?";
            sqlite3_free(error);
            sqlite3_close(db);
            throw std::runtime_error(message);
        }
    }
    sqlite3_close(db);
}

Variant FakeControl::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    Text name = automation::lcase(member);
    if (kind == CallKind::Put || kind == CallKind::PutRef) {
        properties[name] = automation::argumentAt(args, 0);
        return Variant();
    }
    auto it = properties.find(name);
    if (it == properties.end()) automation::unknownMember(member);
    return it->second;
}

Variant FakeWindow::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    Text name = automation::lcase(member);
    if (kind == CallKind::Put || kind == CallKind::PutRef) {
        objects[name] = automation::argumentAt(args, 0).toObject();
        return Variant();
    }
    auto array = arrays.find(name);
    if (array != arrays.end()) {
        auto index = automation::argumentAt(args, 0).toInteger();
        auto element = array->second.find(index);
        // The runtime's error for a control array element that was never loaded.
        if (element == array->second.end()) {
            throw RuntimeError(340, Text(), u"Control array element does not exist");
        }
        return Variant(ObjectRef(element->second));
    }
    auto object = objects.find(name);
    if (object != objects.end()) return Variant(object->second);
    automation::unknownMember(member);
}

std::shared_ptr<FakeControl> FakeWindow::add(const Text& array, std::int16_t index,
                                             const Text& property, const Variant& value) {
    auto control = std::make_shared<FakeControl>();
    control->properties[automation::lcase(property)] = value;
    arrays[automation::lcase(array)][index] = control;
    return control;
}

namespace {

class FakeField : public automation::Object {
public:
    explicit FakeField(Variant value) : value_(std::move(value)) {}
    Variant invoke(TextView member, CallKind, std::span<Argument>) override {
        if (automation::isMember(member, u"Value") || member.empty()) return value_;
        automation::unknownMember(member);
    }

private:
    Variant value_;
};

class FakeRecordset : public automation::Object {
public:
    FakeRecordset(std::optional<Variant> first, int& closed)
        : first_(std::move(first)), closed_(closed) {}
    Variant invoke(TextView member, CallKind, std::span<Argument> args) override {
        if (automation::isMember(member, u"EOF")) return Variant(!first_.has_value());
        if (automation::isMember(member, u"Fields")) return Variant(ObjectRef(fields()));
        if (automation::isMember(member, u"Item")) {
            if (!first_ || automation::argumentAt(args, 0).toLong() != 0) {
                throw RuntimeError(3265, u"ADODB.Fields", u"Item cannot be found");
            }
            return Variant(automation::makeObject<FakeField>(*first_));
        }
        if (automation::isMember(member, u"Close")) {
            ++closed_;
            return Variant();
        }
        automation::unknownMember(member);
    }

private:
    std::shared_ptr<automation::Object> fields() {
        // The recordset answers Item itself, which is all the engine needs of Fields.
        return std::make_shared<FakeRecordset>(first_, closed_);
    }
    std::optional<Variant> first_;
    int& closed_;
};

}  // namespace

Variant FakeDataAccess::invoke(TextView member, CallKind, std::span<Argument> args) {
    if (!automation::isMember(member, u"OpenRecordset")) automation::unknownMember(member);
    std::vector<Variant> given;
    for (const auto& a : args) given.push_back(a.value);
    calls.push_back(given);
    Text sql = automation::argumentAt(args, 1).toText();
    queries.push_back(sql);
    auto it = answers.find(sql);
    if (it == answers.end()) {
        throw RuntimeError(-2147217900, u"Microsoft OLE DB Provider for SQL Server",
                           u"Incorrect syntax near '" + sql + u"'.");
    }
    std::optional<Variant> first;
    if (!it->second.isEmpty()) first = it->second;
    automation::argumentAt(args, 2) = Variant(automation::makeObject<FakeRecordset>(first, closed));
    return Variant();
}

EngineHarness::EngineHarness() {
    services_.factory = &factory;
    services_.components = &catalog;
    services_.dialogs = &dialogs;
    services_.platform = &platform;
    main = engine::CrystalReportMain::create(services_);
    main->onExecutar([this](double when, const Text& text) {
        events.push_back(text);
        eventTimes.push_back(when);
    });
}

std::vector<Text> boxTexts(const RecordingDialogs& dialogs) {
    std::vector<Text> out;
    for (const auto& b : dialogs.boxes) out.push_back(b.text);
    return out;
}

std::string reportFile(const std::string& body) {
    return "vantrel-report 1\n" + body;
}

}  // namespace vantrel::reports::testing
