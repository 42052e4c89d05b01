// The stand-in runtime's connectivity test: a table is reachable when the company database
// of its catalog (a SQLite file, see data_folder.h) exists, is a SQLite database and holds a
// table or view of that name (any case).
#pragma once

#include "automation/text.h"

namespace vantrel::substitutes::reports {

// True when reachable; otherwise false with the reason in `problem`.
bool sqliteHoldsTable(automation::TextView catalog, automation::TextView table,
                      automation::Text& problem);

}  // namespace vantrel::substitutes::reports
