// CreateFieldDefFile of the report runtime's "p2smon.dll", loaded for each call and freed
// after it, as a declared DLL function is found when called. The recordset goes as its
// IUnknown (our own objects through the IDispatch bridge), the name in the ANSI code page.
#pragma once

#include <windows.h>

#include <string>

#include "interfaces/field_definitions.h"

namespace vantrel::platform::win32 {

class P2smonFieldDefinitions final : public interfaces::FieldDefinitionLibrary {
public:
    // The library's file name; tests name a library of their own.
    explicit P2smonFieldDefinitions(std::wstring library = L"p2smon.dll")
        : library_(std::move(library)) {}
    std::int32_t createFieldDefFile(automation::ObjectRef& recordset, automation::Text& fileName,
                                    std::int32_t overwrite) override;

private:
    std::wstring library_;
};

}  // namespace vantrel::platform::win32
