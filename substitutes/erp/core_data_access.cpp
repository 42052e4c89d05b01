#include "erp/core_data_access.h"

#include "data_folder.h"
#include "erp/connection_string.h"
#include "erp/recordset.h"
#include "erp/schema.h"

namespace vantrel::substitutes::erp {

using automation::argumentAt;
using automation::isMember;
using automation::ObjectRef;
using automation::RuntimeError;

namespace {

bool onlyBlanks(std::string_view text) {
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != ';') return false;
    }
    return true;
}

}  // namespace

Variant CoreDataAccess::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    if (automation::isPut(kind)) automation::unknownMember(member);
    if (isMember(member, u"Open")) return Variant(open(argumentAt(args, 0).toText()));
    if (isMember(member, u"Close")) {
        db_.reset();
        return Variant(true);
    }
    if (isMember(member, u"OpenRecordset")) {
        Text sql = argumentAt(args, 1).toText();
        Variant& target = argumentAt(args, 2);
        target = openRecordset(sql);
        return Variant(true);
    }
    if (isMember(member, u"DatabaseFile")) return Variant(db_ ? db_->path() : Text());
    if (isMember(member, u"State")) return Variant(std::int32_t{db_ ? 1 : 0});
    if (isMember(member, u"LastError")) return Variant(lastError_);
    automation::unknownMember(member);
}

bool CoreDataAccess::open(TextView connectionString) {
    db_.reset();
    lastError_.clear();
    ConnectionTarget target = connectionTarget(ConnectionString::parse(connectionString));
    auto refuse = [&](Text why) {
        lastError_ = std::move(why);
        return false;
    };
    if (target.catalog.empty())
        return refuse(u"The connection string names no database (Initial Catalog).");
    try {
        auto db = openCompanyDatabase(databaseFile(target.catalog));
        if (!target.integratedSecurity) {
            auto q = db->prepare("SELECT PASSWORD FROM LOGINSSQL WHERE LOGIN = ?1");
            q.bind(1, target.user);
            if (target.user.empty() || !q.step() || q.text(0) != target.password) {
                return refuse(u"Login failed for user '" + target.user + u"'.");
            }
        }
        db_ = std::move(db);
    } catch (const RuntimeError& e) {
        if (e.number() != kCommandError) throw;
        return refuse(e.description());
    }
    return true;
}

Variant CoreDataAccess::openRecordset(TextView sql) {
    if (!db_) {
        throw RuntimeError(3704, u"CoreDataAccess",
                           u"Operation is not allowed when the object is closed.");
    }
    std::string text = automation::toUtf8(sql);
    std::string_view tail;
    auto statement = db_->prepare(text, &tail);
    if (!onlyBlanks(tail)) {
        throw RuntimeError(
            kCommandError, u"CoreDataAccess",
            u"Only one statement may be run at a time; the command goes on after it: " +
                automation::fromUtf8(tail.substr(0, 40)));
    }
    return Variant(ObjectRef(std::make_shared<Recordset>(readRecordset(statement))));
}

}  // namespace vantrel::substitutes::erp
