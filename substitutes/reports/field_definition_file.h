// The field-definition library of the stand-in report runtime: CreateFieldDefFile writes a
// text file that lists the fields of a recordset, as the runtime's own library does on
// Windows. The recordset is read late-bound (Fields.Count, Fields(i).Name, Fields(i).Type),
// so any ADO-like recordset will do.
//
// File: a first line "; QuorilVantrel field definitions: N fields", then one line per field,
// the name, a tab and its kind ("String", "Number", "Currency", "Boolean", "Date",
// "DateTime", "Time"), lines ending in CR LF, all in Windows-1252 (characters outside it
// become '?', as in the file name, which passes through the same code page).
#pragma once

#include "interfaces/field_definitions.h"

namespace vantrel::substitutes::reports {

class FieldDefinitionFile final : public interfaces::FieldDefinitionLibrary {
public:
    // 1 when the file was written; 0 when it exists and `overwrite` is 0, or when it cannot
    // be written. A recordset that is Nothing or has no fields collection raises an error.
    std::int32_t createFieldDefFile(automation::ObjectRef& recordset, automation::Text& fileName,
                                    std::int32_t overwrite) override;
};

}  // namespace vantrel::substitutes::reports
