// The report's database side: tables, their connection properties, logon and connectivity.
#include "automation/runtime_error.h"
#include "runtime_objects.h"
#include "table_connectivity.h"

namespace vantrel::substitutes::reports {

using automation::Access;
using automation::Argument;
using automation::Call;
using automation::CallKind;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;
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

const automation::Members<ItemCollection>& ItemCollection::members() {
    static const automation::Members<ItemCollection> table{
        {
            {u"Count", Access::Read, 0, 0,
             [](ItemCollection& s, Call&) {
                 return Variant(static_cast<std::int32_t>(s.items_.size()));
             }},
            {u"Item", Access::Read, 1, 1,
             [](ItemCollection& s, Call& c) {
                 const std::int32_t index = c.arg(0).toLong();
                 if (index < 1 || index > static_cast<std::int32_t>(s.items_.size())) {
                     throw RuntimeError(errc::SubscriptOutOfRange);
                 }
                 return Variant(s.items_[static_cast<std::size_t>(index - 1)]);
             }},
        },
        u"Item"};
    return table;
}

// ---- connection properties ---------------------------------------------------------------

ConnectionProperty::ConnectionProperty(std::shared_ptr<RuntimeContext> context,
                                       std::weak_ptr<DatabaseTable> table, Text name)
    : RuntimeTableObject(std::move(context), Text()),
      table_(std::move(table)),
      name_(std::move(name)) {
    if (auto t = table_.lock()) label_ = t->label() + u".ConnectionProperties(\"" + name_ + u"\")";
}

std::shared_ptr<DatabaseTable> ConnectionProperty::liveTable() const {
    auto table = table_.lock();
    if (!table) throw RuntimeError(errc::ObjectVariableNotSet);
    return table;
}

Variant ConnectionProperty::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    liveTable();
    return RuntimeTableObject::invoke(member, kind, args);
}

Variant ConnectionProperty::invokeAt(std::size_t index, CallKind kind, std::span<Argument> args) {
    liveTable();
    return RuntimeTableObject::invokeAt(index, kind, args);
}

const automation::Members<ConnectionProperty>& ConnectionProperty::members() {
    static const automation::Members<ConnectionProperty> table{
        {
            {u"Name", Access::Read, 0, 0,
             [](ConnectionProperty& s, Call&) { return Variant(s.name_); }},
            {u"Value", Access::ReadWrite, 0, 0,
             [](ConnectionProperty& s, Call& c) {
                 auto table = s.liveTable();
                 if (c.isPut()) {
                     s.record(u"Value", s.served_.kind, s.served_.args);
                     table->setConnectionProperty(s.name_, c.value().toText());
                     return Variant();
                 }
                 auto value = table->connectionProperty(s.name_);
                 return value ? Variant(*value) : Variant();
             }},
        },
        u"Value"};
    return table;
}

// ---- tables ------------------------------------------------------------------------------

DatabaseTable::DatabaseTable(std::shared_ptr<RuntimeContext> context, Text ownerLabel, Text name)
    : RuntimeTableObject(std::move(context), ownerLabel + u":" + name), name_(std::move(name)) {}

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

const automation::Members<DatabaseTable>& DatabaseTable::members() {
    static const automation::Members<DatabaseTable> table{{
        {u"Name", Access::Read, 0, 0, [](DatabaseTable& s, Call&) { return Variant(s.name_); }},
        {u"Location", Access::Read, 0, 0, [](DatabaseTable& s, Call&) { return Variant(s.name_); }},
        {u"ConnectionProperties", Access::Read, 0, 1,
         [](DatabaseTable& s, Call& c) {
             // Version 8.5 tables know only SetLogOnInfo.
             if (s.context_->version != RuntimeVersion::Crystal10) s.notAMember();
             if (c.has(0)) return Variant(s.property(c.arg(0).toText()));
             std::vector<ObjectRef> all;
             for (const auto& [n, v] : s.properties_) all.push_back(s.property(n));
             return Variant(automation::makeObject<ItemCollection>(
                 s.context_, s.label_ + u".ConnectionProperties", all));
         }},
        {u"SetLogOnInfo", Access::Read, 1, 4,
         [](DatabaseTable& s, Call& c) {
             s.recordCall();
             auto optionalText = [&](std::size_t i) {
                 return c.has(i) && !c.arg(i).isMissing() ? c.arg(i).toText() : Text();
             };
             s.logOn_ =
                 LogOnInfo{c.arg(0).toText(), optionalText(1), optionalText(2), optionalText(3)};
             return Variant();
         }},
        {u"TestConnectivity", Access::Read, 0, 0,
         [](DatabaseTable& s, Call&) {
             const bool ok = s.testConnectivity();
             s.recordCall(ok ? Text(u"True") : u"False (" + s.lastProblem_ + u")");
             return Variant(ok);
         }},
        {u"SetPrivateData", Access::Read, 2, 2,
         [](DatabaseTable& s, Call& c) {
             s.recordCall();
             s.privateData_.emplace(c.arg(0).toInteger(), c.arg(1));
             return Variant();
         }},
    }};
    return table;
}

// ---- database ----------------------------------------------------------------------------

ReportDatabase::ReportDatabase(std::shared_ptr<RuntimeContext> context, Text ownerLabel,
                               const std::vector<Text>& tableNames)
    : RuntimeTableObject(context, ownerLabel + u".Database") {
    std::vector<ObjectRef> tables;
    for (const auto& name : tableNames) {
        tables.push_back(automation::makeObject<DatabaseTable>(context, ownerLabel, name));
    }
    tables_ =
        automation::makeObject<ItemCollection>(context, ownerLabel + u".Tables", std::move(tables));
}

const automation::Members<ReportDatabase>& ReportDatabase::members() {
    static const automation::Members<ReportDatabase> table{{
        {u"Tables", Access::Read, 0, 0,
         [](ReportDatabase& s, Call&) { return Variant(s.tables_); }},
    }};
    return table;
}

std::vector<std::shared_ptr<DatabaseTable>> ReportDatabase::tables() const {
    std::vector<std::shared_ptr<DatabaseTable>> out;
    for (const auto& t : static_cast<ItemCollection*>(tables_.get())->items()) {
        out.push_back(std::static_pointer_cast<DatabaseTable>(t.shared()));
    }
    return out;
}

}  // namespace vantrel::substitutes::reports
