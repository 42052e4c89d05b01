// The factory of the stand-ins: creates each stand-in object by its ProgID, as the add-in
// creates the maker's components and the report runtime. The ProgIDs of the stand-ins for
// the company database, the maker's core components and the ERP are registered from the
// start; other stand-ins (the report runtime) register theirs with add().
#pragma once

#include <functional>
#include <map>

#include "automation/object.h"
#include "interfaces/dialogs.h"
#include "interfaces/platform.h"
#include "interfaces/profile_functions.h"

namespace vantrel::substitutes {

namespace progid {
inline constexpr char16_t CoreDataAccess[] = u"QuorilVantrel.StandIns.CoreDataAccess";
inline constexpr char16_t ConnectionSettings[] = u"QuorilVantrel.StandIns.ConnectionSettings";
inline constexpr char16_t NextApiConnection[] = u"QuorilVantrel.StandIns.NextApiConnection";
inline constexpr char16_t SharedFolders[] = u"QuorilVantrel.StandIns.SharedFolders";
inline constexpr char16_t FolderCheck[] = u"QuorilVantrel.StandIns.FolderCheck";
}  // namespace progid

// The ports the stand-ins use: INI files (ConnectionSettings, NextApiConnection), message
// boxes (ConnectionSettings.Complete when asked to) and the clock of the platform (dates of
// new documents). A null port makes the member that needs it fail with a clear error;
// without a platform the system clock is used.
struct StandInContext {
    interfaces::ProfileFunctions* profile = nullptr;
    interfaces::Dialogs* dialogs = nullptr;
    interfaces::Platform* platform = nullptr;
};

class StandInRegistry : public automation::ObjectFactory {
public:
    using Creator = std::function<automation::ObjectRef(const StandInContext&)>;

    // Registers the five stand-ins of the progid namespace.
    explicit StandInRegistry(StandInContext context = {});

    // Registers (or replaces) a ProgID. Names are matched without regard to case.
    void add(automation::TextView progId, Creator creator);
    bool knows(automation::TextView progId) const;
    // Error 429 ("ActiveX component can't create object") for a name nobody registered.
    automation::ObjectRef create(automation::TextView progId) override;

    const StandInContext& context() const { return context_; }
    void setContext(const StandInContext& context) { context_ = context; }

private:
    StandInContext context_;
    std::map<automation::Text, Creator> creators_;  // keyed by the upper-cased ProgID
};

}  // namespace vantrel::substitutes
