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

enum class RuntimeVersion { Crystal10, Crystal85 };

// What the objects of one runtime share: its version and its call log.
struct RuntimeContext {
    RuntimeVersion version = RuntimeVersion::Crystal10;
    std::shared_ptr<CallLog> log;
};

// Base of every runtime object: a label in the call log and the shared context.
class RuntimeObject : public automation::Object {
public:
    const automation::Text& label() const { return label_; }

protected:
    RuntimeObject(std::shared_ptr<RuntimeContext> context, automation::Text label)
        : context_(std::move(context)), label_(std::move(label)) {}
    void record(automation::TextView member, automation::CallKind kind,
                std::span<automation::Argument> args, automation::Text note = automation::Text());
    // Records the call being served as its caller made it: the member in the caller's
    // spelling, then every argument (for a write, the value last).
    void recordCall(automation::Text note = automation::Text()) {
        record(served_.member, served_.kind, served_.args, std::move(note));
    }
    // Raises 438 for the member being served, as the caller named it.
    [[noreturn]] void notAMember() const { automation::unknownMember(served_.member); }

    // The call being served: the member as the caller named it and as the class declares it.
    // A host that calls by member index gives no spelling of its own: the declared one stands.
    struct Served {
        automation::TextView member;
        automation::TextView declared;
        automation::CallKind kind = automation::CallKind::Method;
        std::span<automation::Argument> args;
    };
    Served served_;
    std::shared_ptr<RuntimeContext> context_;
    automation::Text label_;
};

// A runtime object whose members are its class's table, `static const Members<T>& members()`;
// while a member's function runs, served_ tells which call it serves.
template <class T>
class RuntimeTableObject : public RuntimeObject {
public:
    automation::Variant invoke(automation::TextView member, automation::CallKind kind,
                               std::span<automation::Argument> args) override {
        const std::size_t index = T::members().find(member);
        if (index == automation::MemberTable::npos) automation::unknownMember(member);
        return serve(member, index, kind, args);
    }
    const automation::MemberTable* memberTable() const override { return &T::members(); }
    automation::Variant invokeAt(std::size_t index, automation::CallKind kind,
                                 std::span<automation::Argument> args) override {
        if (index >= T::members().size())
            throw automation::RuntimeError(automation::errc::NotSupported);
        return serve(T::members().nameAt(index), index, kind, args);
    }

protected:
    using RuntimeObject::RuntimeObject;

private:
    automation::Variant serve(automation::TextView member, std::size_t index,
                              automation::CallKind kind, std::span<automation::Argument> args) {
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
    ItemCollection(std::shared_ptr<RuntimeContext> context, automation::Text label,
                   std::vector<automation::ObjectRef> items)
        : RuntimeTableObject(std::move(context), std::move(label)), items_(std::move(items)) {}
    static const automation::Members<ItemCollection>& members();
    const std::vector<automation::ObjectRef>& items() const { return items_; }

private:
    std::vector<automation::ObjectRef> items_;
};

class DatabaseTable;

// One connection property of a version-10 table ("Provider", "Initial Catalog"...).
class ConnectionProperty : public RuntimeTableObject<ConnectionProperty> {
public:
    ConnectionProperty(std::shared_ptr<RuntimeContext> context, std::weak_ptr<DatabaseTable> table,
                       automation::Text name);
    static const automation::Members<ConnectionProperty>& members();
    // Once its table is gone, every call raises 91, whatever the member.
    automation::Variant invoke(automation::TextView member, automation::CallKind kind,
                               std::span<automation::Argument> args) override;
    automation::Variant invokeAt(std::size_t index, automation::CallKind kind,
                                 std::span<automation::Argument> args) override;

private:
    std::shared_ptr<DatabaseTable> liveTable() const;

    std::weak_ptr<DatabaseTable> table_;
    automation::Text name_;
};

struct LogOnInfo {
    automation::Text server;
    automation::Text database;
    automation::Text user;
    automation::Text password;
};

class DatabaseTable : public RuntimeTableObject<DatabaseTable>,
                      public std::enable_shared_from_this<DatabaseTable> {
public:
    DatabaseTable(std::shared_ptr<RuntimeContext> context, automation::Text ownerLabel,
                  automation::Text name);
    static const automation::Members<DatabaseTable>& members();

    const automation::Text& name() const { return name_; }
    // Connection properties in the order they were first written.
    const std::vector<std::pair<automation::Text, automation::Text>>& connectionProperties() const {
        return properties_;
    }
    std::optional<automation::Text> connectionProperty(automation::TextView name) const;
    void setConnectionProperty(automation::TextView name, automation::Text value);
    const std::optional<LogOnInfo>& logOnInfo() const { return logOn_; }
    // SetPrivateData's kind and data (a recordset for kind 3).
    const std::optional<std::pair<std::int16_t, automation::Variant>>& privateData() const {
        return privateData_;
    }
    // Why the last connectivity test failed; empty after a success.
    const automation::Text& lastConnectivityProblem() const { return lastProblem_; }
    // The catalog whose SQLite file the connectivity test opens.
    automation::Text catalog() const;

private:
    bool testConnectivity();
    automation::ObjectRef property(automation::TextView name);

    automation::Text name_;
    std::vector<std::pair<automation::Text, automation::Text>> properties_;
    std::vector<std::pair<automation::Text, automation::ObjectRef>> propertyObjects_;
    std::optional<LogOnInfo> logOn_;
    std::optional<std::pair<std::int16_t, automation::Variant>> privateData_;
    automation::Text lastProblem_;
};

class ReportDatabase : public RuntimeTableObject<ReportDatabase> {
public:
    ReportDatabase(std::shared_ptr<RuntimeContext> context, automation::Text ownerLabel,
                   const std::vector<automation::Text>& tableNames);
    static const automation::Members<ReportDatabase>& members();
    std::vector<std::shared_ptr<DatabaseTable>> tables() const;

private:
    automation::ObjectRef tables_;
};

class ParameterField : public RuntimeTableObject<ParameterField> {
public:
    ParameterField(std::shared_ptr<RuntimeContext> context, automation::Text ownerLabel,
                   ParameterDefinition definition);
    static const automation::Members<ParameterField>& members();
    const ParameterDefinition& definition() const { return definition_; }
    const std::vector<automation::Variant>& currentValues() const { return currentValues_; }

private:
    automation::Variant converted(const automation::Variant& value) const;

    ParameterDefinition definition_;
    std::vector<automation::Variant> currentValues_;
};

// The report's ExportOptions: the options the outputs write, kept by name.
class ExportOptions : public RuntimeTableObject<ExportOptions> {
public:
    ExportOptions(std::shared_ptr<RuntimeContext> context, automation::Text ownerLabel);
    static const automation::Members<ExportOptions>& members();
    automation::Variant option(automation::TextView name) const;
    const std::vector<std::pair<automation::Text, automation::Variant>>& written() const {
        return values_;
    }

private:
    std::vector<std::pair<automation::Text, automation::Variant>> values_;
};

class CrystalReport;

// A report object of a section; kind 5 holds a subreport.
class ReportObjectItem : public RuntimeTableObject<ReportObjectItem> {
public:
    ReportObjectItem(std::shared_ptr<RuntimeContext> context, automation::Text ownerLabel,
                     const ReportObjectDefinition& definition);
    static const automation::Members<ReportObjectItem>& members();
    std::int32_t kind() const { return kind_; }
    const std::shared_ptr<CrystalReport>& subreport() const { return subreport_; }

private:
    std::int32_t kind_;
    automation::Text name_;
    std::shared_ptr<CrystalReport> subreport_;
};

// An area or a section: a name and a collection (Sections, or ReportObjects).
class ReportPart : public RuntimeTableObject<ReportPart> {
public:
    ReportPart(std::shared_ptr<RuntimeContext> context, automation::Text label,
               automation::Text name, const char16_t* collectionMember,
               automation::ObjectRef collection)
        : RuntimeTableObject(std::move(context), std::move(label)),
          name_(std::move(name)),
          collectionMember_(collectionMember),
          collection_(std::move(collection)) {}
    static const automation::Members<ReportPart>& members();

private:
    automation::Text name_;
    const char16_t* collectionMember_;
    automation::ObjectRef collection_;
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
    CrystalReport(std::shared_ptr<RuntimeContext> context, automation::Text label,
                  const ReportDefinition& definition);
    static const automation::Members<CrystalReport>& members();

    const automation::Text& title() const { return title_; }
    const automation::Text& driverName() const { return driver_; }
    const PageSettings& page() const { return page_; }
    std::shared_ptr<ReportDatabase> database() const;
    // Every table of this report, without those of its subreports.
    std::vector<std::shared_ptr<DatabaseTable>> tables() const { return database()->tables(); }
    // Subreports in the order of areas, sections and objects.
    std::vector<std::shared_ptr<CrystalReport>> subreports() const;
    std::vector<std::shared_ptr<ParameterField>> parameters() const;
    std::shared_ptr<ExportOptions> exportOptions() const;
    // The report's query as its file gives it ("{?Name}" not yet replaced); may be empty.
    const automation::Text& query() const { return query_; }
    // What the outputs show now: title, parameters and their current values, and the rows
    // of the query run with those values.
    ReportContent content() const;

private:
    void exportReport(std::span<automation::Argument> args);
    void printOut(std::span<automation::Argument> args);
    // Records the call with the output's note, and where the output went.
    void produced(automation::TextView member, std::span<automation::Argument> args,
                  const OutputResult& result);

    automation::Text title_;
    automation::Text driver_;
    automation::Text printer_;
    automation::Text port_;
    automation::Text query_;
    PageSettings page_;
    bool displayProgressDialog_ = true;
    bool enableParameterPrompting_ = true;
    automation::ObjectRef database_;
    automation::ObjectRef areas_;
    automation::ObjectRef parameters_;
    automation::ObjectRef exportOptions_;
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
