#include "interfaces/components.h"

namespace vantrel::interfaces {

using automation::Text;
using automation::TextView;

Text defaultProgId(TextView component) {
    using automation::equalsIgnoreCase;
    if (equalsIgnoreCase(component, component::CoreDataAccess))
        return u"tlkCoreDataAccess2016.CoreDataAccess";
    if (equalsIgnoreCase(component, component::ConnectionSettings))
        return u"tlkCore2016.ConnectionSettings";
    if (equalsIgnoreCase(component, component::NextApiConnection))
        return u"tlkCore2016.NextApiConnection";
    if (equalsIgnoreCase(component, component::SharedFolders)) return u"tlkCore2016.SharedFolders";
    if (equalsIgnoreCase(component, component::FolderCheck)) return u"tlkCore2016.FolderCheck";
    if (equalsIgnoreCase(component, component::SaveDialog)) return u"MSComDlg.CommonDialog";
    return Text(component);
}

}  // namespace vantrel::interfaces
