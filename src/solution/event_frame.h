// The one error frame of the host events: whatever the body raises is shown to the user as
// "Erro " + description (OK button, exclamation icon) under the given title, and the event
// returns normally, so no error ever reaches the host.
#pragma once

#include <functional>

#include "automation/text.h"
#include "interfaces/dialogs.h"

namespace vantrel::solution {

// Runs `body`; true when it finished without an error. Never throws: a failing message box
// is swallowed too.
bool runInFrame(interfaces::Dialogs& dialogs, automation::TextView title,
                const std::function<void()>& body) noexcept;

// The text of a frame's message for an error description.
automation::Text frameMessage(automation::TextView description);

}  // namespace vantrel::solution
