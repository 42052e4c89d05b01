// The OLE DB connection string of the company database.
#pragma once

#include "automation/text.h"

namespace vantrel::solution {

// "Provider=...;Data Provider=...;Data Source=...;Initial Catalog=..." followed by the SQL
// Server login (";User Id=...;Password=...; ") when user or password is set, else by
// ";Integrated Security=SSPI;". Ordinary values go in as they are; a value that would end
// or rewrite the string is quoted (see quoteConnectionValue).
automation::Text pStringLigacao(const automation::Text& provider,
                                const automation::Text& dataProvider,
                                const automation::Text& server, const automation::Text& database,
                                const automation::Text& user, const automation::Text& password);

// A value as OLE DB connection strings need it: unchanged when it is already validly quoted
// ('x' or "x", inner quotes of that kind doubled), or when it holds no ';' or '=', does not
// start with a quote and has no blank at either end; otherwise enclosed in double quotes
// (inner double quotes doubled), or in single quotes when it holds double quotes but no
// single quote.
automation::Text quoteConnectionValue(const automation::Text& value);

}  // namespace vantrel::solution
