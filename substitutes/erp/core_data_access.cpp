#include "erp/core_data_access.h"

#include "data_folder.h"
#include "erp/connection_string.h"
#include "erp/recordset.h"
#include "erp/schema.h"

namespace vantrel::substitutes::erp {

using automation::Access;
using automation::Call;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;

namespace {

bool onlyBlanks(std::string_view text) {
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != ';') return false;
    }
    return true;
}

}  // namespace

const automation::Members<CoreDataAccess>& CoreDataAccess::members() {
    using M = automation::Members<CoreDataAccess>;
    static const M table{
        {u"Open", Access::Read, 1, 1,
         [](CoreDataAccess& d, Call& c) { return Variant(d.open(c.arg(0).toText())); }},
        {u"Close", Access::Read, 0, 0,
         [](CoreDataAccess& d, Call&) {
             d.db_.reset();
             return Variant(true);
         }},
        // OpenRecordset(unused, sql, recordset, unused, unused): the recordset goes back
        // through the third argument.
        {u"OpenRecordset", Access::Read, 3, 5,
         [](CoreDataAccess& d, Call& c) {
             Text sql = c.arg(1).toText();
             Variant& target = c.arg(2);
             target = d.openRecordset(sql);
             return Variant(true);
         }},
        {u"DatabaseFile", Access::Read, 0, 0,
         [](CoreDataAccess& d, Call&) { return Variant(d.db_ ? d.db_->path() : Text()); }},
        {u"State", Access::Read, 0, 0,
         [](CoreDataAccess& d, Call&) { return Variant(std::int32_t{d.db_ ? 1 : 0}); }},
        {u"LastError", Access::Read, 0, 0,
         [](CoreDataAccess& d, Call&) { return Variant(d.lastError_); }},
    };
    return table;
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
