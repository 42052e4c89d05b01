// The report runtime's field-definition library ("p2smon.dll" on Windows): writes a file that
// describes the fields of a recordset, so a report can be designed against data that exists
// only at run time.
#pragma once

#include <cstdint>

#include "automation/object.h"

namespace vantrel::interfaces {

class FieldDefinitionLibrary {
public:
    virtual ~FieldDefinitionLibrary() = default;
    // CreateFieldDefFile: `recordset` by reference; `fileName` passes in the system's ANSI code
    // page and comes back as the library left it; `overwrite` -1 replaces an existing file.
    // Returns the library's answer (1 is success). A missing library raises error 53 and a
    // missing entry point error 453, as a declared DLL function does.
    virtual std::int32_t createFieldDefFile(automation::ObjectRef& recordset,
                                            automation::Text& fileName, std::int32_t overwrite) = 0;
};

}  // namespace vantrel::interfaces
