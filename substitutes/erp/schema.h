// The tables of the company database (see company_database.h) and the rules shared by the
// stand-ins that open it.
#pragma once

#include <memory>

#include "erp/sqlite_database.h"

namespace vantrel::substitutes::erp {

// Creates the tables and their standard rows in an empty database.
void createSchema(Database& db);

// Opens the company database of a catalog for the stand-ins (never creates it) and checks
// that it is one: RuntimeError with a clear message otherwise (missing file, locked file,
// not a database, not a company database).
std::shared_ptr<Database> openCompanyDatabase(automation::TextView file);

// Whether the injected failure of an operation is pending; takes it (once) and returns its
// message.
std::optional<automation::Text> takeInjectedFailure(Database& db, automation::TextView operation);

}  // namespace vantrel::substitutes::erp
