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
    if (!open_) firstOfWindow_ = controls.size();
    open_ = true;
    controls.push_back(viewer);
    return control;
}

void StandInViewerPort::close() {
    ++timesClosed;
    open_ = false;
}

void StandInViewerPort::show(const automation::Text& caption, bool modal) {
    if (!open_) {
        throw automation::RuntimeError(automation::errc::ApplicationDefined, u"frmDocCrystal",
                                       u"The viewer window was unloaded");
    }
    shows.push_back(Shown{caption, modal});
    reports::ReportViewer* visible = nullptr;
    for (std::size_t i = firstOfWindow_; i < controls.size(); ++i) {
        if (controls[i]->visible()) visible = controls[i].get();
    }
    if (onShow) onShow(shows.back(), visible);
}

}  // namespace vantrel::substitutes::windows
