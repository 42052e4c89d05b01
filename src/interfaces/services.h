// The ports through which the system modules reach the world. One bundle is handed to each
// Solucao and CrystalReportMain; the Windows layer, the Linux program and the tests each
// fill it with their own implementations.
#pragma once

#include "automation/locale.h"
#include "automation/object.h"
#include "interfaces/components.h"
#include "interfaces/dialogs.h"
#include "interfaces/field_definitions.h"
#include "interfaces/platform.h"
#include "interfaces/profile_functions.h"

namespace vantrel::interfaces {

struct Services {
    automation::ObjectFactory* factory = nullptr;
    ComponentCatalog* components = nullptr;
    Dialogs* dialogs = nullptr;
    ProfileFunctions* profile = nullptr;
    Platform* platform = nullptr;
    // Only the report engine's CriarFicheioTTX uses it; null fails that call as a missing
    // library does (error 53).
    FieldDefinitionLibrary* fieldDefinitions = nullptr;

    // Creates one of the maker's components by its logical name.
    automation::ObjectRef createComponent(automation::TextView name) const {
        return factory->create(components ? components->progIdOf(name) : defaultProgId(name));
    }
    automation::ObjectRef create(automation::TextView progId) const {
        return factory->create(progId);
    }

    // The conventions the object given these services writes and reads numbers and dates by:
    // its platform's; without a platform, those of the call it runs in.
    const automation::Locale& locale() const {
        return platform ? platform->locale() : automation::Locale::current();
    }
};

}  // namespace vantrel::interfaces
