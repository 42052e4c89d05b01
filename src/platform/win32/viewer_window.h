// The viewer window frmDocCrystal on Windows: the portable frmDocCrystal over a Win32
// ViewerWindowPort, created by the ProgID "QuorilVantrel.frmDocCrystal" (a class of its own,
// outside the type library).
//
// The port's window is an owner-less top-level window. It hosts each viewer control by its
// ProgID as an ActiveX control through a small OLE container of its own (client site and
// in-place site; IOleObject::DoVerb activates the control inside the window), keeps the
// controls filling its client area, and sinks each control's print-button event on the
// connection point of the control's default source interface, the member named
// "PrintButtonClicked" in the control's own type information (IProvideClassInfo); its other
// events (export, refresh, close...) pass untouched. A modal show runs the window's own
// message loop until the user closes it. After a close, the next control created opens a new
// window, as an unloaded form loads again when it is next used.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "interfaces/report_windows.h"
#include "platform/win32/window_handles.h"

namespace vantrel::platform::win32 {

// {6C1F4A52-8D3B-4E27-A9C4-2B7E5D0F3A81}
extern const CLSID CLSID_frmDocCrystal;
inline constexpr wchar_t kViewerWindowClass[] = L"QuorilVantrelFrmDocCrystal";

class Win32ViewerPort final : public interfaces::windows::ViewerWindowPort {
public:
    Win32ViewerPort();
    ~Win32ViewerPort() override;

    automation::ObjectRef createControl(automation::TextView progId,
                                        PrintButtonHandler onPrintButton) override;
    std::pair<double, double> clientSize() override;
    void show(const automation::Text& caption, bool modal) override;
    void hide() override;
    void close() override;

    // Called when the client area changed size (the form's Form_Resize).
    std::function<void()> onResize;
    LRESULT handle(HWND hwnd, UINT message, WPARAM w, LPARAM l);

    struct Hosted;

private:
    void openWindow();

    UniqueWindow hwnd_;
    double tpp_;
    std::vector<std::shared_ptr<Hosted>> controls_;
};

// The class factory's creation function.
HRESULT createFrmDocCrystal(REFIID iid, void** out);

}  // namespace vantrel::platform::win32
