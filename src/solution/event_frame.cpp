#include "solution/event_frame.h"

#include "automation/runtime_error.h"

namespace vantrel::solution {

namespace msgbox = interfaces::msgbox;

automation::Text frameMessage(automation::TextView description) {
    return u"Erro " + automation::Text(description);
}

bool runInFrame(interfaces::Dialogs& dialogs, automation::TextView title,
                const std::function<void()>& body) noexcept {
    automation::Text description;
    try {
        body();
        return true;
    } catch (...) {
        try {
            description = automation::currentError().description();
        } catch (...) {
            description = automation::standardDescription(automation::errc::OutOfMemory);
        }
    }
    try {
        dialogs.messageBox(frameMessage(description), msgbox::OkOnly + msgbox::Exclamation,
                           automation::Text(title));
    } catch (...) {
        // Nothing more can be told to anyone; the host still gets its success.
    }
    return false;
}

}  // namespace vantrel::solution
