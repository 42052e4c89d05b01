// QuorilVantrel.StandIns.Setup: prepares a stand-in company from a script, since the
// company database and the settings file are not the ERP's to create through its members.
//
// DataFolder (read): the stand-ins' base folder (QUORILVANTREL_DATA, as a Windows path).
// CreateCompany(catalog): a new, empty company database (an existing one is replaced).
// AddErpUser(catalog, login, password): a login NextApiConnection.Connect accepts.
// AddSqlLogin(catalog, login, password): a login CoreDataAccess.Open accepts.
// AddArticle(catalog, code, description, price[, vatRate[, unit]]).
// WriteSetting(company, section, key, value): one key of talmek\VANTREL.<company>.
// SettingsFile(company) -> the path of that settings file.
// LiveObjects (read): stand-in objects alive in this process.
#pragma once

#include "automation/members.h"
#include "erp/counted_object.h"
#include "registry.h"

namespace vantrel::substitutes::com {

class SetupObject final : public automation::TableObject<SetupObject> {
public:
    explicit SetupObject(const StandInContext& context) : context_(context) {}
    static const automation::Members<SetupObject>& members();

private:
    StandInContext context_;
};

// The stand-ins' data folder as a Windows path: a Unix path from the environment ("/x/y")
// is reached through Wine's drive Z:.
automation::Text windowsDataFolder(automation::TextView configured);

}  // namespace vantrel::substitutes::com
