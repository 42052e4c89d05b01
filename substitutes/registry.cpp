#include "registry.h"

#include "erp/connection_settings.h"
#include "erp/core_data_access.h"
#include "erp/next_api_connection.h"

namespace vantrel::substitutes {

using automation::makeObject;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;

StandInRegistry::StandInRegistry(StandInContext context) : context_(context) {
    add(progid::CoreDataAccess,
        [](const StandInContext&) { return makeObject<erp::CoreDataAccess>(); });
    add(progid::ConnectionSettings,
        [](const StandInContext& c) { return makeObject<erp::ConnectionSettings>(c); });
    add(progid::NextApiConnection,
        [](const StandInContext& c) { return makeObject<erp::NextApiConnection>(c); });
    add(progid::SharedFolders,
        [](const StandInContext&) { return makeObject<erp::SharedFolders>(); });
    add(progid::FolderCheck, [](const StandInContext&) { return makeObject<erp::FolderCheck>(); });
}

void StandInRegistry::add(TextView progId, Creator creator) {
    creators_[automation::ucase(progId)] = std::move(creator);
}

bool StandInRegistry::knows(TextView progId) const {
    return creators_.count(automation::ucase(progId)) != 0;
}

ObjectRef StandInRegistry::create(TextView progId) {
    auto it = creators_.find(automation::ucase(progId));
    if (it == creators_.end() || !it->second) {
        throw RuntimeError(automation::errc::CannotCreateObject, Text(progId),
                           u"ActiveX component can't create object: " + Text(progId));
    }
    return it->second(context_);
}

}  // namespace vantrel::substitutes
