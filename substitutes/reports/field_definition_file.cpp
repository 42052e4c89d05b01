#include "field_definition_file.h"

#include <fstream>
#include <string>
#include <vector>

#include "automation/runtime_error.h"
#include "file_paths.h"

namespace vantrel::substitutes::reports {

using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::Variant;

namespace {

constexpr char16_t kSource[] = u"CreateFieldDefFile";

// The kind written for an ADO DataTypeEnum value.
Text fieldKind(std::int32_t adoType) {
    switch (adoType) {
        case 2:
        case 3:
        case 4:
        case 5:
        case 14:
        case 16:
        case 17:
        case 18:
        case 19:
        case 20:
        case 21:
        case 131:
        case 139:
            return u"Number";
        case 6:
            return u"Currency";
        case 11:
            return u"Boolean";
        case 133:
            return u"Date";
        case 134:
            return u"Time";
        case 7:
        case 64:
        case 135:
            return u"DateTime";
        default:
            return u"String";
    }
}

struct Field {
    Text name;
    Text kind;
};

// The ADO type of a field: its Type, or for a recordset whose fields do not tell (the
// stand-in ERP's), the VarType of the current value, whose numbers ADO shares for these kinds.
std::int32_t adoTypeOf(const ObjectRef& field) {
    try {
        return field.get(u"Type").toLong();
    } catch (const RuntimeError& e) {
        if (e.number() != automation::errc::NotSupported) throw;
    }
    try {
        return static_cast<std::int32_t>(field.get(u"Value").type());
    } catch (const RuntimeError&) {
        return static_cast<std::int32_t>(automation::VarType::String);  // no current row
    }
}

std::vector<Field> fieldsOf(const ObjectRef& recordset) {
    if (recordset.isNothing()) {
        throw RuntimeError(automation::errc::ObjectVariableNotSet, kSource,
                           u"The recordset is not set");
    }
    try {
        ObjectRef fields = recordset.object(u"Fields");
        const std::int32_t count = fields.get(u"Count").toLong();
        std::vector<Field> list;
        for (std::int32_t i = 0; i < count; ++i) {
            ObjectRef field = fields.object(u"Item", i);
            list.push_back({field.get(u"Name").toText(), fieldKind(adoTypeOf(field))});
        }
        return list;
    } catch (const RuntimeError& e) {
        throw RuntimeError(e.number(), kSource,
                           u"Not a recordset whose fields can be read: " + e.description());
    }
}

}  // namespace

std::int32_t FieldDefinitionFile::createFieldDefFile(ObjectRef& recordset, Text& fileName,
                                                     std::int32_t overwrite) {
    const std::vector<Field> fields = fieldsOf(recordset);
    // The name reaches the library in the ANSI code page and comes back from it.
    fileName = automation::fromCp1252(automation::toCp1252(fileName));
    const auto path = nativeFile(fileName);
    std::error_code ec;
    if (fileName.empty() || (overwrite == 0 && std::filesystem::exists(path, ec))) return 0;

    std::string bytes =
        "; QuorilVantrel field definitions: " + std::to_string(fields.size()) + " fields\r\n";
    for (const auto& f : fields)
        bytes += automation::toCp1252(f.name) + "\t" + automation::toCp1252(f.kind) + "\r\n";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return 0;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return out ? 1 : 0;
}

}  // namespace vantrel::substitutes::reports
