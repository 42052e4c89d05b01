// On Linux the maker's components are the stand-ins: each logical component name maps to
// "QuorilVantrel.StandIns." + that name, the ProgIDs the stand-in factory answers to.
#pragma once

#include "interfaces/components.h"

namespace vantrel::platform::posix {

class PosixCatalog : public interfaces::ComponentCatalog {
public:
    // Unknown names keep the installation's default ProgID (interfaces::defaultProgId).
    automation::Text progIdOf(automation::TextView component) override;
    automation::Text sourceOf(automation::TextView component) override;
};

}  // namespace vantrel::platform::posix
