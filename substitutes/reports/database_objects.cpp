// The report's database side: tables, their connection properties, logon and connectivity.
#include "automation/runtime_error.h"
#include "runtime_objects.h"
#include "table_connectivity.h"

namespace vantrel::substitutes::reports {

using automation::isMember;
using automation::RuntimeError;
namespace errc = automation::errc;

namespace {

// What the log keeps of an object argument: an object of its own that answers nothing. The log
// holds none of the objects it saw, since one it kept alive could be the very report whose
// context holds the log (a viewer's ReportSource), and neither would ever be freed.
class ObjectSeen : public automation::Object {
public:
    Variant invoke(TextView member, CallKind, std::span<Argument>) override {
        automation::unknownMember(member);
    }
};

}  // namespace

void RuntimeObject::record(TextView member, CallKind kind, std::span<Argument> args, Text note) {
    RuntimeCall call;
    call.object = label_;
    call.member = Text(member);
    call.kind = kind;
    for (const auto& a : args) {
        call.arguments.push_back(
            a.value.isSetObject() ? Variant(ObjectRef(std::make_shared<ObjectSeen>())) : a.value);
    }
    call.note = std::move(note);
    context_->log->add(std::move(call));
}

Variant ItemCollection::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    if (isPut(kind)) automation::unknownMember(member);
    if (isMember(member, u"Count")) return Variant(static_cast<std::int32_t>(items_.size()));
    if (isMember(member, u"Item") || member.empty()) {
        const std::int32_t index = automation::argumentAt(args, 0).toLong();
        if (index < 1 || index > static_cast<std::int32_t>(items_.size())) {
            throw RuntimeError(errc::SubscriptOutOfRange);
        }
        return Variant(items_[static_cast<std::size_t>(index - 1)]);
    }
    automation::unknownMember(member);
}

// ---- connection properties ---------------------------------------------------------------

ConnectionProperty::ConnectionProperty(std::shared_ptr<RuntimeContext> context,
                                       std::weak_ptr<DatabaseTable> table, Text name)
    : RuntimeObject(std::move(context), Text()), table_(std::move(table)), name_(std::move(name)) {
    if (auto t = table_.lock()) label_ = t->label() + u".ConnectionProperties(\"" + name_ + u"\")";
}

Variant ConnectionProperty::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    auto table = table_.lock();
    if (!table) throw RuntimeError(errc::ObjectVariableNotSet);
    if (isMember(member, u"Name") && !isPut(kind)) return Variant(name_);
    if (isMember(member, u"Value") || member.empty()) {
        if (isPut(kind)) {
            record(u"Value", kind, args);
            table->setConnectionProperty(name_, automation::argumentAt(args, 0).toText());
            return Variant();
        }
        auto value = table->connectionProperty(name_);
        return value ? Variant(*value) : Variant();
    }
    automation::unknownMember(member);
}

// ---- tables ------------------------------------------------------------------------------

DatabaseTable::DatabaseTable(std::shared_ptr<RuntimeContext> context, Text ownerLabel, Text name)
    : RuntimeObject(std::move(context), ownerLabel + u":" + name), name_(std::move(name)) {}

std::optional<Text> DatabaseTable::connectionProperty(TextView name) const {
    for (const auto& [n, v] : properties_) {
        if (automation::equalsIgnoreCase(n, name)) return v;
    }
    return std::nullopt;
}

void DatabaseTable::setConnectionProperty(TextView name, Text value) {
    for (auto& [n, v] : properties_) {
        if (automation::equalsIgnoreCase(n, name)) {
            v = std::move(value);
            return;
        }
    }
    properties_.emplace_back(Text(name), std::move(value));
}

ObjectRef DatabaseTable::property(TextView name) {
    for (const auto& [n, object] : propertyObjects_) {
        if (automation::equalsIgnoreCase(n, name)) return object;
    }
    ObjectRef object =
        automation::makeObject<ConnectionProperty>(context_, weak_from_this(), Text(name));
    propertyObjects_.emplace_back(Text(name), object);
    return object;
}

Text DatabaseTable::catalog() const {
    if (context_->version == RuntimeVersion::Crystal10) {
        auto initial = connectionProperty(u"Initial Catalog");
        if (initial && !initial->empty()) return *initial;
    }
    return logOn_ ? logOn_->database : Text();
}

bool DatabaseTable::testConnectivity() {
    const Text database = catalog();
    if (database.empty()) {
        lastProblem_ = u"no database named for the table";
        return false;
    }
    Text problem;
    const bool ok = sqliteHoldsTable(database, name_, problem);
    lastProblem_ = ok ? Text() : problem;
    return ok;
}

Variant DatabaseTable::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    if (isMember(member, u"Name") || isMember(member, u"Location")) {
        if (isPut(kind)) automation::unknownMember(member);
        return Variant(name_);
    }
    if (isMember(member, u"ConnectionProperties")) {
        // Version 8.5 tables know only SetLogOnInfo.
        if (context_->version != RuntimeVersion::Crystal10 || isPut(kind))
            automation::unknownMember(member);
        if (!args.empty()) return Variant(property(args[0].value.toText()));
        std::vector<ObjectRef> all;
        for (const auto& [n, v] : properties_) all.push_back(property(n));
        return Variant(automation::makeObject<ItemCollection>(
            context_, label_ + u".ConnectionProperties", all));
    }
    if (isMember(member, u"SetLogOnInfo")) {
        record(member, kind, args);
        auto optionalText = [&](std::size_t i) {
            return i < args.size() && !args[i].value.isMissing() ? args[i].value.toText() : Text();
        };
        logOn_ = LogOnInfo{automation::argumentAt(args, 0).toText(), optionalText(1),
                           optionalText(2), optionalText(3)};
        return Variant();
    }
    if (isMember(member, u"TestConnectivity")) {
        if (isPut(kind)) automation::unknownMember(member);
        const bool ok = testConnectivity();
        record(member, kind, args, ok ? Text(u"True") : u"False (" + lastProblem_ + u")");
        return Variant(ok);
    }
    if (isMember(member, u"SetPrivateData")) {
        record(member, kind, args);
        privateData_.emplace(automation::argumentAt(args, 0).toInteger(),
                             automation::argumentAt(args, 1));
        return Variant();
    }
    automation::unknownMember(member);
}

// ---- database ----------------------------------------------------------------------------

ReportDatabase::ReportDatabase(std::shared_ptr<RuntimeContext> context, Text ownerLabel,
                               const std::vector<Text>& tableNames)
    : RuntimeObject(context, ownerLabel + u".Database") {
    std::vector<ObjectRef> tables;
    for (const auto& name : tableNames) {
        tables.push_back(automation::makeObject<DatabaseTable>(context, ownerLabel, name));
    }
    tables_ =
        automation::makeObject<ItemCollection>(context, ownerLabel + u".Tables", std::move(tables));
}

Variant ReportDatabase::invoke(TextView member, CallKind kind, std::span<Argument>) {
    if (isMember(member, u"Tables") && !isPut(kind)) return Variant(tables_);
    automation::unknownMember(member);
}

std::vector<std::shared_ptr<DatabaseTable>> ReportDatabase::tables() const {
    std::vector<std::shared_ptr<DatabaseTable>> out;
    for (const auto& t : static_cast<ItemCollection*>(tables_.get())->items()) {
        out.push_back(std::static_pointer_cast<DatabaseTable>(t.shared()));
    }
    return out;
}

}  // namespace vantrel::substitutes::reports
