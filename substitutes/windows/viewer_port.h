// A viewer window port over the stand-in viewer controls: it creates them through the
// stand-ins' factory, connects their print button, and records how the window was shown.
// It draws nothing; a face that shows the report hooks onShow. A window closed is gone: a
// show before the next createControl (which opens a new one) is an error.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "automation/object.h"
#include "interfaces/report_windows.h"
#include "reports/report_viewer.h"

namespace vantrel::substitutes::windows {

class StandInViewerPort : public interfaces::windows::ViewerWindowPort {
public:
    explicit StandInViewerPort(automation::ObjectFactory& factory) : factory_(factory) {}

    automation::ObjectRef createControl(automation::TextView progId,
                                        PrintButtonHandler onPrintButton) override;
    std::pair<double, double> clientSize() override { return size; }
    void show(const automation::Text& caption, bool modal) override;
    void hide() override { ++timesHidden; }
    void close() override;

    // The controls created, in order (version 10 first, as the window loads them), those of
    // earlier loads of the window first.
    std::vector<std::shared_ptr<reports::ReportViewer>> controls;
    std::pair<double, double> size{9600, 7200};
    struct Shown {
        automation::Text caption;
        bool modal = false;
    };
    std::vector<Shown> shows;
    int timesHidden = 0;
    int timesClosed = 0;
    // Runs at each show, with the control that is visible (nullptr when none is).
    std::function<void(const Shown&, reports::ReportViewer* visible)> onShow;

private:
    automation::ObjectFactory& factory_;
    bool open_ = false;
    std::size_t firstOfWindow_ = 0;  // the open window's controls start here
};

}  // namespace vantrel::substitutes::windows
