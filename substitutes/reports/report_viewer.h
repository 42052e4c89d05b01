// The stand-in report viewer control, created by "CrystalActiveXReportViewerLib10Ctl.
// CrystalActiveXReportViewer" (version 10) or "CRVIEWERLibCtl.CRViewer" (version 8.5).
// It shows nothing; it keeps and records what it is given.
//
// Members: ReportSource, ViewReport, Refresh, IsBusy (true for one read after ViewReport or
// Refresh, so a wait loop runs once), Zoom, Visible, EnablePrintButton, EnableExportButton,
// Move. Members the window reaches by dispatch identifier are named "#" and the number
// ("#343"); calling "#352" as a method is the control's own printing. The print button is
// pressed from C++ with pressPrintButton(), which raises the print-button event.
#pragma once

#include <functional>
#include <map>

#include "runtime_objects.h"

namespace vantrel::substitutes::reports {

inline constexpr char16_t kViewerProgId10[] =
    u"CrystalActiveXReportViewerLib10Ctl.CrystalActiveXReportViewer";
inline constexpr char16_t kViewerProgId85[] = u"CRVIEWERLibCtl.CRViewer";

class ReportViewer : public RuntimeTableObject<ReportViewer> {
public:
    // The print-button event: the handler may set `printItself` to false.
    using PrintButtonHandler = std::function<void(bool& printItself)>;

    ReportViewer(RuntimeVersion version, std::shared_ptr<CallLog> log);
    static const automation::Members<ReportViewer>& members();
    // The named members, and then those reached by dispatch identifier.
    automation::Variant invoke(automation::TextView member, automation::CallKind kind,
                               std::span<automation::Argument> args) override;

    void onPrintButton(PrintButtonHandler handler) { printButton_ = std::move(handler); }
    // Presses the print button; true when the control then printed by itself.
    bool pressPrintButton();

    const automation::ObjectRef& reportSource() const { return reportSource_; }
    bool visible() const { return visible_; }
    // A value set by dispatch identifier, Empty when never set.
    automation::Variant byDispatchId(int id) const;
    int timesPrinted() const { return printed_; }

private:
    automation::ObjectRef reportSource_;
    int busyReads_ = 0;
    automation::Variant zoom_;
    bool visible_ = true;
    bool printButtonEnabled_ = true;
    bool exportButton_ = true;
    std::map<int, automation::Variant> byId_;
    PrintButtonHandler printButton_;
    int printed_ = 0;
};

}  // namespace vantrel::substitutes::reports
