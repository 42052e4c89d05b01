// Where the outside components come from. The maker's core components are named by a
// logical name; the installation decides which ProgID answers to it.
#pragma once

#include "automation/object.h"
#include "automation/text.h"

namespace vantrel::interfaces {

namespace component {
inline constexpr char16_t CoreDataAccess[] = u"CoreDataAccess";
inline constexpr char16_t ConnectionSettings[] = u"ConnectionSettings";
inline constexpr char16_t NextApiConnection[] = u"NextApiConnection";
inline constexpr char16_t SharedFolders[] = u"SharedFolders";
inline constexpr char16_t FolderCheck[] = u"FolderCheck";
// Not one of the maker's: the save-file dialog of the report outputs, read the same way so
// an installation without the common dialog control can name another.
inline constexpr char16_t SaveDialog[] = u"SaveDialog";
}  // namespace component

class ComponentCatalog {
public:
    virtual ~ComponentCatalog() = default;
    // The ProgID to create for a logical component name.
    virtual automation::Text progIdOf(automation::TextView component) = 0;
    // Where that ProgID comes from (a registry value, the default...), for a person reading
    // a diagnosis; empty when the catalog does not say.
    virtual automation::Text sourceOf(automation::TextView /*component*/) {
        return automation::Text();
    }
};

// The ProgIDs of the maker's components on a standard installation.
automation::Text defaultProgId(automation::TextView component);

}  // namespace vantrel::interfaces
