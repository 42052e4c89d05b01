#include "platform/posix/posix_catalog.h"

namespace vantrel::platform::posix {

using automation::Text;

automation::Text PosixCatalog::progIdOf(automation::TextView component) {
    namespace c = interfaces::component;
    for (const char16_t* name : {c::CoreDataAccess, c::ConnectionSettings, c::NextApiConnection,
                                 c::SharedFolders, c::FolderCheck, c::SaveDialog}) {
        if (automation::equalsIgnoreCase(component, name))
            return u"QuorilVantrel.StandIns." + Text(name);
    }
    return interfaces::defaultProgId(component);
}

automation::Text PosixCatalog::sourceOf(automation::TextView component) {
    return progIdOf(component) == interfaces::defaultProgId(component) ? u"por omissão"
                                                                       : u"substitutos do Linux";
}

}  // namespace vantrel::platform::posix
