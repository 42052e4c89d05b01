// The stand-in report viewer controls as ActiveX controls, under
// "CrystalActiveXReportViewerLib10Ctl.CrystalActiveXReportViewer" (version 10) and
// "CRVIEWERLibCtl.CRViewer" (version 8.5): in-place activated by a container
// (IOleObject::DoVerb), each is a child window that draws the report's title, its parameter
// values and its rows, under a toolbar of print, export, refresh and close buttons.
//
// Each button raises its event (PrintButtonClicked, ExportButtonClicked, RefreshButtonClicked,
// CloseButtonClicked) on the connection point of the control's default source interface, its
// one argument a by-reference Boolean that starts True; the control does its own work (prints,
// reloads) only when the answer stays True. The events' dispatch identifiers differ between
// the two versions and are published only in the class's type information
// (IProvideClassInfo2::GetClassInfo, the coclass's [default, source] dispinterface).
//
// Members through IDispatch: ReportSource, ViewReport, Refresh, IsBusy (true for one read
// after ViewReport or Refresh), Zoom, Visible, EnablePrintButton, EnableExportButton; the
// display options by dispatch identifier (251 to 365, each kept as received) and the
// version-10 print method 352. For the tests: Received ("id=value;..." in the order set),
// Printed ("button" or "method" per print, ";"-separated), Pressed ("event=answer;..." per
// button pressed, the answer the sinks left) and Shown (the drawn lines).
#pragma once

#include <windows.h>

namespace vantrel::substitutes::com {

inline constexpr char16_t kViewerProgId10[] =
    u"CrystalActiveXReportViewerLib10Ctl.CrystalActiveXReportViewer";
inline constexpr char16_t kViewerProgId85[] = u"CRVIEWERLibCtl.CRViewer";

// {7A3C2B10-5E41-4C8D-9B21-3F0E6D5A110A}: the controls' event interface.
extern const IID DIID_StandInViewerEvents;
// A new control of version 10 (`version10`) or 8.5, of class `clsid`.
HRESULT createViewerControl(bool version10, REFCLSID clsid, REFIID iid, void** out);

}  // namespace vantrel::substitutes::com
