// frmDocCrystal: the viewer window. It holds one viewer control per runtime version
// (Visu_10, Visu_85), sets their display options when it loads, keeps them filling its
// client area, and handles the version-10 viewer's print button so that the printer follows
// the report's rules. What only a real window can do (host a control, show, size) goes
// through a ViewerWindowPort; the rest is here, the same on every platform.
//
// Members by name: Eu (the CrystalReportMain shown), Visu_10, Visu_85, Caption, Visible,
// Icon, BorderStyle, ScaleWidth, ScaleHeight, Show(mode), Hide, Unload, MostraMapa,
// NaoPodeImprimir(Boolean). Calls by name run under the locale of the window's platform.
#pragma once

#include <memory>

#include "automation/members.h"
#include "interfaces/platform.h"
#include "interfaces/report_windows.h"

namespace vantrel::reports::engine {

class frmDocCrystal : public automation::TableObject<frmDocCrystal> {
public:
    static constexpr char16_t kProgIdVisu10[] =
        u"CrystalActiveXReportViewerLib10Ctl.CrystalActiveXReportViewer";
    static constexpr char16_t kProgIdVisu85[] = u"CRVIEWERLibCtl.CRViewer";

    // Creates the window and runs its load: both controls created and set up, hidden. After
    // Unload, the next use of the window (Eu aside) loads it again, as a VB form does.
    frmDocCrystal(interfaces::Platform& platform,
                  std::unique_ptr<interfaces::windows::ViewerWindowPort> port);
    static const automation::Members<frmDocCrystal>& members();
    automation::Variant invoke(automation::TextView member, automation::CallKind kind,
                               std::span<automation::Argument> args) override;
    automation::Variant invokeAt(std::size_t index, automation::CallKind kind,
                                 std::span<automation::Argument> args) override;

    // The window's size changed: both controls fill the client area again.
    void Form_Resize();
    // The print-button events; `UseDefault` tells the control whether to print by itself.
    void Visu_10_PrintButtonClicked(bool& UseDefault);
    void Visu_85_PrintButtonClicked(bool& UseDefault);

    void MostraMapa() {}
    void NaoPodeImprimir(bool) {}

    automation::ObjectRef Eu;

private:
    void Load();
    void loadIfUnloaded();
    void Form_Load();
    void Show(std::int16_t mode);
    void Hide();
    void Unload();

    interfaces::Platform& platform_;
    std::unique_ptr<interfaces::windows::ViewerWindowPort> port_;
    automation::ObjectRef visu10_;
    automation::ObjectRef visu85_;
    static constexpr char16_t kDesignCaption[] = u"Form1";
    static constexpr std::int16_t kSizable = 2;
    automation::Text caption_ = kDesignCaption;
    automation::Variant icon_;
    std::int16_t borderStyle_ = kSizable;
    bool visible_ = false;
    bool loaded_ = false;
};

}  // namespace vantrel::reports::engine
