#include "windows/viewer_port.h"

#include "automation/runtime_error.h"

namespace vantrel::substitutes::windows {

using automation::Text;

automation::ObjectRef StandInViewerPort::createControl(automation::TextView progId,
                                                       PrintButtonHandler onPrintButton) {
    automation::ObjectRef control = factory_.create(progId);
    auto viewer = std::dynamic_pointer_cast<reports::ReportViewer>(control.shared());
    if (!viewer) {
        throw automation::RuntimeError(automation::errc::CannotCreateObject, Text(progId),
                                       u"Not a viewer control: " + Text(progId));
    }
    viewer->onPrintButton(std::move(onPrintButton));
    controls.push_back(viewer);
    return control;
}

void StandInViewerPort::show(const automation::Text& caption, bool modal) {
    shows.push_back(Shown{caption, modal});
    reports::ReportViewer* visible = nullptr;
    for (const auto& c : controls) {
        if (c->visible()) visible = c.get();
    }
    if (onShow) onShow(shows.back(), visible);
}

}  // namespace vantrel::substitutes::windows
