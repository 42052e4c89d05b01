// The save dialog stand-in's chooser on Windows: the system's own save-file dialog
// (GetSaveFileNameW), so a user of the stand-ins under Windows or Wine picks the file in the
// window they know.
#pragma once

#include "dialogs/save_dialog.h"

namespace vantrel::substitutes::com {

// Shows the dialog owned by the calling thread's active window (none when it has none).
// Cancel gives nullopt; a failure of the dialog itself raises a RuntimeError naming
// CommDlgExtendedError's code.
std::optional<automation::Text> chooseSaveFile(const dialogs::SaveRequest& request);

}  // namespace vantrel::substitutes::com
