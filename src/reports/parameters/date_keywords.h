// Start values of date rows: a line of the parameter description file may hold a date
// keyword, expanded against today, or a literal date that passes through.
#pragma once

#include "automation/text.h"

namespace vantrel::reports::parameters {

// PRIMEIRODIAMES, ULTIMODIAMES, PRIMEIRODIAANO, ULTIMODIAANO and DATAHOJE (any case, blanks
// around ignored) become day-month-year texts of the current month or year ("01-7-2026":
// numbers without leading zeros, four-digit year); DATAHOJE and a blank line give `now` in
// the locale's general date format; anything else comes back unchanged.
automation::Text expandDateKeyword(automation::TextView line, double now);

}  // namespace vantrel::reports::parameters
