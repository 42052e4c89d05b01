// Message boxes through MessageBoxW, owned by the host's main window when it names a live one.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "interfaces/dialogs.h"

namespace vantrel::platform::win32 {

class Win32Dialogs final : public interfaces::Dialogs {
public:
    using OwnerSource = std::function<HWND()>;
    explicit Win32Dialogs(OwnerSource owner = {}) : owner_(std::move(owner)) {}
    int messageBox(automation::TextView text, int style,
                   const std::optional<automation::Text>& title) override;

private:
    OwnerSource owner_;
};

// A window handle as the host passes it (a 32-bit number): the window, or null when it
// names no live window (a box with a dead owner would not show).
HWND liveWindow(std::int32_t handle);

}  // namespace vantrel::platform::win32
