// The stand-in report runtime's objects: application, report (and subreport), database,
// tables with their connection properties, areas, sections, report objects, parameter fields
// and export options. Each answers the members the report engine uses, by name, and records
// what it is given in the call log that all objects of one application share, so tests and
// the vantrel program can see what the engine did.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "automation/members.h"
#include "automation/runtime_error.h"
#include "call_log.h"
#include "report_file.h"
#include "report_output.h"

namespace vantrel::substitutes::reports {

using automation::Argument;
using automation::CallKind;
using automation::ObjectRef;

enum class RuntimeVersion { Crystal10, Crystal85 };

// What the objects of one runtime share: its version and its call log.
struct RuntimeContext {
    RuntimeVersion version = RuntimeVersion::Crystal10;
    std::shared_ptr<CallLog> log;
};

// Base of every runtime object: a label in the call log and the shared context.
class RuntimeObject : public automation::Object {
public:
    const Text& label() const { return label_; }

protected:
    RuntimeObject(std::shared_ptr<RuntimeContext> context, Text label)
        : context_(std::move(context)), label_(std::move(label)) {}
    void record(TextView member, CallKind kind, std::span<Argument> args, Text note = Text());
    // Records the call being served as its caller made it: the member in the caller's
    // spelling, then every argument (for a write, the value last).
    void recordCall(Text note = Text()) {
        record(served_.member, served_.kind, served_.args, std::move(note));
    }
    // Raises 438 for the member being served, as the caller named it.
    [[noreturn]] void notAMember() const { automation::unknownMember(served_.member); }

    // The call being served: the member as the caller named it and as the class declares it.
    // A host that calls by member index gives no spelling of its own: the declared one stands.
    struct Served {
        TextView member;
        TextView declared;
        CallKind kind = CallKind::Method;
        std::span<Argument> args;
    };
    Served served_;
    std::shared_ptr<RuntimeContext> context_;
    Text label_;
};

// A runtime object whose members are its class's table, `static const Members<T>& members()`;
// while a member's function runs, served_ tells which call it serves.
template <class T>
class RuntimeTableObject : public RuntimeObject {
public:
    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) override {
        const std::size_t index = T::members().find(member);
        if (index == automation::MemberTable::npos) automation::unknownMember(member);
        return serve(member, index, kind, args);
    }
    const automation::MemberTable* memberTable() const override { return &T::members(); }
    Variant invokeAt(std::size_t index, CallKind kind, std::span<Argument> args) override {
        if (index >= T::members().size())
            throw automation::RuntimeError(automation::errc::NotSupported);
        return serve(T::members().nameAt(index), index, kind, args);
    }

protected:
    using RuntimeObject::RuntimeObject;

private:
    Variant serve(TextView member, std::size_t index, CallKind kind, std::span<Argument> args) {
        // A member's function may call this object again (a handler reading a property).
        struct Restore {
            Served& served;
            Served outer;
            ~Restore() { served = outer; }
        } restore{served_, served_};
        served_ = Served{member, T::members().nameAt(index), kind, args};
        return T::members().invokeAt(static_cast<T&>(*this), index, kind, args);
    }
};

// A 1-based collection: Count, Item(index) and the default member with an index.
class ItemCollection : public RuntimeTableObject<ItemCollection> {
public:
    ItemCollection(std::shared_ptr<RuntimeContext> context, Text label,
                   std::vector<ObjectRef> items)
        : RuntimeTableObject(std::move(context), std::move(label)), items_(std::move(items)) {}
    static const automation::Members<ItemCollection>& members();
    const std::vector<ObjectRef>& items() const { return items_; }

private:
    std::vector<ObjectRef> items_;
};

class DatabaseTable;

// One connection property of a version-10 table ("Provider", "Initial Catalog"...).
class ConnectionProperty : public RuntimeTableObject<ConnectionProperty> {
public:
    ConnectionProperty(std::shared_ptr<RuntimeContext> context, std::weak_ptr<DatabaseTable> table,
                       Text name);
    static const automation::Members<ConnectionProperty>& members();
    // Once its table is gone, every call raises 91, whatever the member.
    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) override;
    Variant invokeAt(std::size_t index, CallKind kind, std::span<Argument> args) override;

private:
    std::shared_ptr<DatabaseTable> liveTable() const;

    std::weak_ptr<DatabaseTable> table_;
    Text name_;
};

struct LogOnInfo {
    Text server;
    Text database;
    Text user;
    Text password;
};

class DatabaseTable : public RuntimeTableObject<DatabaseTable>,
                      public std::enable_shared_from_this<DatabaseTable> {
public:
    DatabaseTable(std::shared_ptr<RuntimeContext> context, Text ownerLabel, Text name);
    static const automation::Members<DatabaseTable>& members();

    const Text& name() const { return name_; }
    // Connection properties in the order they were first written.
    const std::vector<std::pair<Text, Text>>& connectionProperties() const { return properties_; }
    std::optional<Text> connectionProperty(TextView name) const;
    void setConnectionProperty(TextView name, Text value);
    const std::optional<LogOnInfo>& logOnInfo() const { return logOn_; }
    // SetPrivateData's kind and data (a recordset for kind 3).
    const std::optional<std::pair<std::int16_t, Variant>>& privateData() const {
        return privateData_;
    }
    // Why the last connectivity test failed; empty after a success.
    const Text& lastConnectivityProblem() const { return lastProblem_; }
    // The catalog whose SQLite file the connectivity test opens.
    Text catalog() const;

private:
    bool testConnectivity();
    ObjectRef property(TextView name);

    Text name_;
    std::vector<std::pair<Text, Text>> properties_;
    std::vector<std::pair<Text, ObjectRef>> propertyObjects_;
    std::optional<LogOnInfo> logOn_;
    std::optional<std::pair<std::int16_t, Variant>> privateData_;
    Text lastProblem_;
};

class ReportDatabase : public RuntimeTableObject<ReportDatabase> {
public:
    ReportDatabase(std::shared_ptr<RuntimeContext> context, Text ownerLabel,
                   const std::vector<Text>& tableNames);
    static const automation::Members<ReportDatabase>& members();
    std::vector<std::shared_ptr<DatabaseTable>> tables() const;

private:
    ObjectRef tables_;
};

class ParameterField : public RuntimeTableObject<ParameterField> {
public:
    ParameterField(std::shared_ptr<RuntimeContext> context, Text ownerLabel,
                   ParameterDefinition definition);
    static const automation::Members<ParameterField>& members();
    const ParameterDefinition& definition() const { return definition_; }
    const std::vector<Variant>& currentValues() const { return currentValues_; }

private:
    Variant converted(const Variant& value) const;

    ParameterDefinition definition_;
    std::vector<Variant> currentValues_;
};

// The report's ExportOptions: the options the outputs write, kept by name.
class ExportOptions : public RuntimeTableObject<ExportOptions> {
public:
    ExportOptions(std::shared_ptr<RuntimeContext> context, Text ownerLabel);
    static const automation::Members<ExportOptions>& members();
    Variant option(TextView name) const;
    const std::vector<std::pair<Text, Variant>>& written() const { return values_; }

private:
    std::vector<std::pair<Text, Variant>> values_;
};

class CrystalReport;

// A report object of a section; kind 5 holds a subreport.
class ReportObjectItem : public RuntimeTableObject<ReportObjectItem> {
public:
    ReportObjectItem(std::shared_ptr<RuntimeContext> context, Text ownerLabel,
                     const ReportObjectDefinition& definition);
    static const automation::Members<ReportObjectItem>& members();
    std::int32_t kind() const { return kind_; }
    const std::shared_ptr<CrystalReport>& subreport() const { return subreport_; }

private:
    std::int32_t kind_;
    Text name_;
    std::shared_ptr<CrystalReport> subreport_;
};

// An area or a section: a name and a collection (Sections, or ReportObjects).
class ReportPart : public RuntimeTableObject<ReportPart> {
public:
    ReportPart(std::shared_ptr<RuntimeContext> context, Text label, Text name,
               const char16_t* collectionMember, ObjectRef collection)
        : RuntimeTableObject(std::move(context), std::move(label)),
          name_(std::move(name)),
          collectionMember_(collectionMember),
          collection_(std::move(collection)) {}
    static const automation::Members<ReportPart>& members();

private:
    Text name_;
    const char16_t* collectionMember_;
    ObjectRef collection_;
};

struct PageSettings {
    std::int16_t paperOrientation = 1;
    std::int16_t paperSize = 9;
    std::int16_t paperSource = 7;
    std::int32_t bottomMargin = 0;
    std::int32_t leftMargin = 0;
    std::int32_t rightMargin = 0;
    std::int32_t topMargin = 0;
};

class CrystalReport : public RuntimeTableObject<CrystalReport> {
public:
    CrystalReport(std::shared_ptr<RuntimeContext> context, Text label,
                  const ReportDefinition& definition);
    static const automation::Members<CrystalReport>& members();

    const Text& title() const { return title_; }
    const Text& driverName() const { return driver_; }
    const PageSettings& page() const { return page_; }
    std::shared_ptr<ReportDatabase> database() const;
    // Every table of this report, without those of its subreports.
    std::vector<std::shared_ptr<DatabaseTable>> tables() const { return database()->tables(); }
    // Subreports in the order of areas, sections and objects.
    std::vector<std::shared_ptr<CrystalReport>> subreports() const;
    std::vector<std::shared_ptr<ParameterField>> parameters() const;
    std::shared_ptr<ExportOptions> exportOptions() const;
    // The report's query as its file gives it ("{?Name}" not yet replaced); may be empty.
    const Text& query() const { return query_; }
    // What the outputs show now: title, parameters and their current values, and the rows
    // of the query run with those values.
    ReportContent content() const;

private:
    void exportReport(std::span<Argument> args);
    void printOut(std::span<Argument> args);
    // Records the call with the output's note, and where the output went.
    void produced(TextView member, std::span<Argument> args, const OutputResult& result);

    Text title_;
    Text driver_;
    Text printer_;
    Text port_;
    Text query_;
    PageSettings page_;
    bool displayProgressDialog_ = true;
    bool enableParameterPrompting_ = true;
    ObjectRef database_;
    ObjectRef areas_;
    ObjectRef parameters_;
    ObjectRef exportOptions_;
};

class CrystalApplication : public RuntimeTableObject<CrystalApplication> {
public:
    CrystalApplication(RuntimeVersion version, std::shared_ptr<CallLog> log);
    static const automation::Members<CrystalApplication>& members();
    RuntimeVersion version() const { return context_->version; }
    const std::shared_ptr<CallLog>& log() const { return context_->log; }
    // Reports opened so far, in order.
    const std::vector<std::shared_ptr<CrystalReport>>& openedReports() const { return opened_; }

private:
    std::vector<std::shared_ptr<CrystalReport>> opened_;
};

}  // namespace vantrel::substitutes::reports
