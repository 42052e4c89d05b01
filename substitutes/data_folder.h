// Where the stand-ins keep their data. One base folder (the --data option of vantrel, or the
// QUORILVANTREL_DATA environment variable) holds:
//   talmek/VANTREL.<company>      the per-company settings files
//   databases/<catalog>.sqlite    one SQLite file per company database ("Initial Catalog")
// SharedFolders answers the base folder; the company database stand-in and the report
// runtime stand-in both find a catalog's file through databaseFile().
#pragma once

#include "automation/text.h"

namespace vantrel::substitutes {

// The base folder, Windows style, without a final backslash. Empty when never set and the
// environment names none.
automation::Text dataFolder();
void setDataFolder(automation::TextView folder);

// <base>\databases\<catalog>.sqlite, as a Windows-style path.
automation::Text databaseFile(automation::TextView catalog);

}  // namespace vantrel::substitutes
