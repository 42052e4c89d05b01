// The company database object (CoreDataAccess) over the company's SQLite file.
//
// Open(connectionString) -> Boolean. The OLE DB connection string names the database in
//   "Initial Catalog" (file substitutes::databaseFile(catalog)) and the login: with
//   "Integrated Security=SSPI" any login is accepted; otherwise "User Id" and "Password"
//   must match a row of LOGINSSQL (login in any case, password exactly). False, with the
//   reason in LastError, when the catalog is missing, the file is missing, locked, not a
//   database or not a company database, or the login is refused. A connection string that
//   breaks the OLE DB rules raises error 3001 naming the fault.
// OpenRecordset(unused, sql, recordset, unused, unused) -> True: runs one statement and puts
//   a Recordset (recordset.h) in its third, by-reference argument. A statement SQLite
//   rejects raises -2147217900 with SQLite's message; so does text after the statement.
// Close -> True (also when not open). Our own: DatabaseFile (the file of the open
//   database, empty when closed), State (1 open, 0 closed), LastError.
#pragma once

#include "automation/members.h"
#include "erp/counted_object.h"
#include "erp/sqlite_database.h"

namespace vantrel::substitutes::erp {

class CoreDataAccess : public automation::TableObject<CoreDataAccess, CountedObject> {
public:
    static const automation::Members<CoreDataAccess>& members();

private:
    bool open(automation::TextView connectionString);
    automation::Variant openRecordset(automation::TextView sql);
    std::shared_ptr<Database> db_;
    automation::Text lastError_;
};

}  // namespace vantrel::substitutes::erp
