// How the add-in logs into the company database and the ERP API, in pieces that the entry
// into a company and `vantrel doctor` share.
#pragma once

#include "interfaces/connection_settings.h"

namespace vantrel::solution {

// Product identifier the API login is made for.
inline constexpr char16_t kApiProduct[] = u"1GCO2022_40";

struct DatabaseLogon {
    automation::Text server, database, user, password;
};

// The logon ConnectionSettings gives for a settings file: loaded, and when the server, the
// database or the user is empty, completed (without asking) and confirmed, then read again.
DatabaseLogon readDatabaseLogon(const interfaces::ConnectionSettings& settings,
                                const automation::Text& path);

// The connection string the company database is opened with.
automation::Text companyConnectionString(const DatabaseLogon& logon);

}  // namespace vantrel::solution
