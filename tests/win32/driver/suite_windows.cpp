// The report windows as real Win32 windows: the report engine of this process (with the
// Win32 ports and the stand-ins' runtime through COM) opens the example report on the stand-ins'
// real parameter window. The checks read the real controls back (positions, tab order, start
// values), type into them, press the real buttons and read the export; a screenshot of the
// window is kept in the build folder.
#include <windows.h>

#include <commctrl.h>

#include <sqlite3.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "driver.h"
#include "interfaces/services.h"
#include "platform/win32/dispatch_bridge.h"
#include "platform/win32/win32_components.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_profile.h"
#include "reports/engine/crystal_report_main.h"

namespace vantrel::wine {

using platform::win32::ComPtr;

namespace {

using reports::engine::CrystalReportMain;

// The source tree, for the example report and its databases.
std::wstring sourceFile(const std::wstring& relative) {
    std::wstring path = L"Z:" VANTREL_SOURCE_DIR_W L"/" + relative;
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

automation::Text text(const std::wstring& s) {
    return automation::Text(s.begin(), s.end());
}

std::string fileText(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A database of the example, unless the folder has it already.
bool makeDatabase(const std::wstring& folder, const char* name) {
    std::string sql = fileText(sourceFile(L"examples/reports/db/") +
                               std::wstring(name, name + strlen(name)) + L".sql");
    std::string path = narrow(folder) + "\\" + name + ".sqlite";
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK && !sql.empty() &&
              sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// The engine with the Windows ports, the stand-in runtime of this process and the real
// windows of the stand-ins' COM server.
struct Engine {
    platform::win32::Kernel32Profile profile;
    platform::win32::Win32Dialogs dialogs;
    platform::win32::Win32Platform platform;
    platform::win32::ComObjectFactory com;
    platform::win32::RegistryCatalog catalog;
    std::shared_ptr<CrystalReportMain> main;

    Engine() {
        interfaces::Services s;
        s.factory = &com;
        s.components = &catalog;
        s.dialogs = &dialogs;
        s.profile = &profile;
        s.platform = &platform;
        main = CrystalReportMain::create(s);
        main->in_Mapa(text(sourceFile(L"examples/reports/VendasPorArtigo.rpt")));
        main->in_Servidor(u"SRV");
        main->In_NomeBaseDados(u"RELSISTEMA");
        main->in_NomeBaseDados_Next(u"RELEMPRESA");
        main->in_UserId(u"sa");
        main->in_Password(u"x");
    }
};

automation::ObjectRef wrap(const ComPtr<IDispatch>& d) {
    return automation::ObjectRef(std::make_shared<platform::win32::DispatchObject>(d));
}

HWND hwndOf(IDispatch* window, const wchar_t* member, short index = -1) {
    ComPtr<IDispatch> c =
        index < 0 ? getObject(window, member) : getObject(window, member, {vI2(index)});
    if (!c) return nullptr;
    Outcome o = call(c.get(), L"hWnd", {});
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(numberOf(*o.result.get())));
}

double twipsPerPixel() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return 1440.0 / dpi;
}

RECT clientRect(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring windowText(HWND h) {
    wchar_t b[256] = {};
    GetWindowTextW(h, b, 256);
    return b;
}

SYSTEMTIME dateOf(HWND h) {
    SYSTEMTIME st = {};
    SendMessageW(h, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    return st;
}

void setDate(HWND h, int y, int m, int d) {
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    SendMessageW(h, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

// Lets the window paint, then copies what the screen shows of its client area into a 24-bit
// BMP (the display has no window manager to draw the frames).
bool screenshot(HWND window, const std::wstring& file) {
    for (int i = 0; i < 10; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(20);
    }
    RECT r;
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    const bool copied = BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != FALSE;
    SelectObject(mem, old);
    const DWORD size = static_cast<DWORD>(((w * 3 + 3) & ~3) * h);
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    std::ofstream out(file.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
    out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
    out.write(static_cast<const char*>(bits), size);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return copied && out.good();
}

// Clicks a control from another thread once it shows (the caller's thread waits inside
// the engine, pumping messages); after five seconds it closes the window instead.
class Clicker {
public:
    Clicker(HWND target, HWND copies, std::wstring typed)
        : target_(target), copies_(copies), typed_(std::move(typed)) {
        thread_ = CreateThread(nullptr, 0, &Clicker::run, this, 0, nullptr);
    }
    ~Clicker() {
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
    }
    bool clicked = false;

private:
    static DWORD WINAPI run(void* self) {
        auto* c = static_cast<Clicker*>(self);
        for (int waited = 0; waited < 5000 && !IsWindowVisible(c->target_); waited += 20) Sleep(20);
        if (!IsWindowVisible(c->target_)) {
            // Closing the window ends the chooser's wait without a choice.
            PostMessageW(GetAncestor(c->target_, GA_ROOT), WM_CLOSE, 0, 0);
            return 0;
        }
        SendMessageTimeoutW(c->copies_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c->typed_.c_str()),
                            SMTO_BLOCK, 5000, nullptr);
        c->clicked = PostMessageW(c->target_, BM_CLICK, 0, 0) != FALSE;
        return 0;
    }
    HWND target_, copies_;
    std::wstring typed_;
    HANDLE thread_;
};

void checkPlace(HWND control, double left, double top, double width, double height,
                const std::string& what) {
    const double tpp = twipsPerPixel();
    const RECT r = clientRect(control);
    auto px = [&](double twips) { return static_cast<long>(std::lround(twips / tpp)); };
    checkEqN(r.left, px(left), what + ": left");
    checkEqN(r.top, px(top), what + ": top");
    checkEqN(r.right - r.left, px(width), what + ": width");
    if (height > 0) checkEqN(r.bottom - r.top, px(height), what + ": height");
}

// The caller's own form, as the viewer window asks it for an icon and a caption.
class CallerForm final : public automation::Object {
public:
    automation::Variant invoke(automation::TextView member, automation::CallKind,
                               std::span<automation::Argument>) override {
        if (automation::isMember(member, u"Caption")) return automation::Variant(u"ERP");
        if (automation::isMember(member, u"Icon")) return automation::Variant();
        automation::unknownMember(member);
    }
};

std::wstring textMember(IDispatch* object, const wchar_t* name) {
    Outcome o = call(object, name, {});
    return SUCCEEDED(o.hr) ? textOf(*o.result.get()) : L"(" + std::wstring(name) + L" failed)";
}

// The visible viewer window of this process (the one not in `other`), within two seconds.
HWND findViewer(HWND other = nullptr, int wait = 2000) {
    for (int waited = 0; waited <= wait; waited += 20) {
        HWND h = nullptr;
        while ((h = FindWindowExW(nullptr, h, L"QuorilVantrelFrmDocCrystal", nullptr)))
            if (h != other && IsWindowVisible(h)) return h;
        Sleep(20);
    }
    return nullptr;
}

// A toolbar button ("Imprimir", "Exportar"...) of the visible viewer control of a viewer window.
HWND toolButtonOf(HWND viewer, const wchar_t* caption = L"Imprimir") {
    HWND control = nullptr;
    while ((control = FindWindowExW(viewer, control, L"QuorilVantrelReportViewer", nullptr)))
        if (IsWindowVisible(control)) return FindWindowExW(control, nullptr, L"Button", caption);
    return nullptr;
}

// Presses the print button of the modal viewer and then closes it, from another thread
// while this one runs the viewer's message loop.
class ModalUser {
public:
    ModalUser() { thread_ = CreateThread(nullptr, 0, &ModalUser::run, this, 0, nullptr); }
    ~ModalUser() {
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
    }
    std::wstring caption;
    bool pressed = false;

private:
    static DWORD WINAPI run(void* self) {
        auto* u = static_cast<ModalUser*>(self);
        HWND viewer = findViewer();
        if (!viewer) return 0;
        wchar_t b[256] = {};
        GetWindowTextW(viewer, b, 256);
        u->caption = b;
        // Posted in order: the press is handled before the close.
        HWND print = toolButtonOf(viewer);
        u->pressed = print && PostMessageW(print, BM_CLICK, 0, 0);
        PostMessageW(viewer, WM_CLOSE, 0, 0);
        return 0;
    }
    HANDLE thread_;
};

// The viewer window frmDocCrystal of QuorilVantrel.dll hosting the stand-in viewer
// controls, shown by the prompt window's "Ecrã" button: modeless, then, the same window
// unloaded in between, modal and modeless again.
void viewerChecks(IDispatch* window, HWND prompt, CrystalReportMain& main) {
    ComPtr<IDispatch> viewer = create(L"QuorilVantrel.frmDocCrystal");
    if (!check(static_cast<bool>(viewer), "viewer: QuorilVantrel.frmDocCrystal is creatable"))
        return;
    main.JanelaVisualizador(wrap(viewer));
    main.FormPai(automation::ObjectRef(std::make_shared<CallerForm>()));
    main.JanelaModal(false);
    SendMessageW(hwndOf(window, L"botao_ecran"), BM_CLICK, 0, 0);
    expectNoBox("viewer: the screen button");
    const HWND shown = findViewer();
    if (!check(shown != nullptr, "viewer: the modeless viewer window shows")) return;
    checkEq(windowText(shown), L"Mapa:ERP", "viewer: the modeless caption");
    check(GetWindow(shown, GW_OWNER) == nullptr && GetParent(shown) == nullptr,
          "viewer: the window has no owner");
    check(IsWindowVisible(prompt) != FALSE, "viewer: the prompt window stays");

    // Each control received the 18 display options by dispatch identifier, in order.
    const std::wstring options =
        L"343=True;341=True;251=False;342=False;252=True;258=True;262=True;365=True;"
        L"254=True;364=False;256=True;259=True;261=False;260=True;264=False;255=False;"
        L"340=True;257=True";
    ComPtr<IDispatch> visu10 = getObject(viewer.get(), L"Visu_10");
    ComPtr<IDispatch> visu85 = getObject(viewer.get(), L"Visu_85");
    if (!check(visu10 && visu85, "viewer: both controls are there")) return;
    checkEq(textMember(visu10.get(), L"Received"), options, "viewer: Visu_10's display options");
    checkEq(textMember(visu85.get(), L"Received"), options, "viewer: Visu_85's display options");
    const std::wstring drawn = textMember(visu10.get(), L"Shown");
    check(drawn.rfind(L"Vendas por artigo\n", 0) == 0, "viewer: the control draws the title");
    check(drawn.find(L"B\tFA 1\t03-07-2026\tPorca\t40\t2,00\n") != std::wstring::npos &&
              drawn.find(L"B\tFA 2\t28-07-2026\t") != std::wstring::npos,
          "viewer: the control draws the rows the prompt window asked for");

    // The version-10 control fills the client area; the 8.5 one stays hidden.
    RECT client, control;
    GetClientRect(shown, &client);
    HWND visible = FindWindowExW(shown, nullptr, L"QuorilVantrelReportViewer", nullptr);
    HWND second = FindWindowExW(shown, visible, L"QuorilVantrelReportViewer", nullptr);
    check(visible && second && IsWindowVisible(visible) && !IsWindowVisible(second),
          "viewer: Visu_10 shows, Visu_85 does not");
    GetWindowRect(visible, &control);
    checkEqN(control.right - control.left, client.right, "viewer: the control's width");
    checkEqN(control.bottom - control.top, client.bottom, "viewer: the control's height");
    check(screenshot(shown, dataFolder() + L"\\..\\screenshot-viewer.bmp"),
          "viewer: screenshot of the viewer window");
    SetWindowPos(shown, nullptr, 0, 0, 800, 560, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(shown, &client);
    GetWindowRect(visible, &control);
    check(control.right - control.left == client.right &&
              control.bottom - control.top == client.bottom,
          "viewer: the control follows a resize");

    // The print button: the report's printer and no printer choice leave the printing to
    // the control; with the choice allowed the window prints and the control does not.
    const HWND print = toolButtonOf(shown);
    check(print != nullptr, "viewer: the control has a print button");
    SendMessageW(print, BM_CLICK, 0, 0);
    checkEq(textMember(visu10.get(), L"Printed"), L"button",
            "viewer: the control prints when the answer stays True");
    main.PodeMudarImpressora(true);
    SendMessageW(print, BM_CLICK, 0, 0);
    checkEq(textMember(visu10.get(), L"Printed"), L"button",
            "viewer: the control does not print when the window prints");
    // The other buttons raise events of the same shape; they are the control's own: their
    // answers stay True and nothing goes to a printer, even with the choice allowed.
    auto printing = [] {
        const std::wstring calls = reportCalls();
        std::size_t n = 0;
        for (const wchar_t* member : {L".PrintOut(", L".PrinterSetup(", L".SelectPrinter("})
            for (auto at = calls.find(member); at != std::wstring::npos;
                 at = calls.find(member, at + 1))
                ++n;
        return n;
    };
    const std::size_t printingBefore = printing();
    for (const wchar_t* caption : {L"Exportar", L"Actualizar", L"Fechar"}) {
        const HWND button = toolButtonOf(shown, caption);
        check(button != nullptr, "viewer: the control has a button " + narrow(caption));
        SendMessageW(button, BM_CLICK, 0, 0);
    }
    checkEq(textMember(visu10.get(), L"Pressed"),
            L"PrintButtonClicked=True;PrintButtonClicked=False;ExportButtonClicked=True;"
            L"RefreshButtonClicked=True;CloseButtonClicked=True",
            "viewer: only the print button's answer is the window's");
    checkEq(textMember(visu10.get(), L"Printed"), L"button",
            "viewer: the other buttons print nothing");
    checkEqN(printing(), printingBefore,
             "viewer: the other buttons neither choose a printer nor print the report");
    main.PodeMudarImpressora(false);
    expectNoBox("viewer: the toolbar buttons");
    call(viewer.get(), L"Unload", {});
    check(!IsWindow(shown), "viewer: Unload takes the window down");

    // Modal, on the same window: used again, it loads again. The screen button returns once
    // the user has closed the viewer.
    ComPtr<IDispatch> modal10 = getObject(viewer.get(), L"Visu_10");
    check(modal10 && textMember(modal10.get(), L"Pressed").empty(),
          "viewer: loaded again with new controls");
    main.JanelaModal(true);
    {
        ModalUser user;
        SendMessageW(hwndOf(window, L"botao_ecran"), BM_CLICK, 0, 0);
        check(user.pressed, "viewer: the modal viewer's print button was pressed");
        checkEq(user.caption, L"Vendas por artigo", "viewer: the modal caption");
    }
    check(modal10 && textMember(modal10.get(), L"Printed") == L"button",
          "viewer: the modal control printed by itself");
    check(findViewer(nullptr, 0) == nullptr,
          "viewer: no viewer window is left after the modal show");
    expectNoBox("viewer: the modal show");

    // And modeless once more: the window and its controls set up as on the first load.
    main.JanelaModal(false);
    SendMessageW(hwndOf(window, L"botao_ecran"), BM_CLICK, 0, 0);
    expectNoBox("viewer: the screen button, a third time");
    const HWND again = findViewer();
    if (check(again != nullptr, "viewer: the window unloaded twice shows again")) {
        checkEq(windowText(again), L"Mapa:ERP", "viewer: the caption shown again");
        ComPtr<IDispatch> again10 = getObject(viewer.get(), L"Visu_10");
        ComPtr<IDispatch> again85 = getObject(viewer.get(), L"Visu_85");
        check(again10 && again85, "viewer: both controls are there again");
        if (again10 && again85) {
            checkEq(textMember(again10.get(), L"Received"), options,
                    "viewer: Visu_10's display options again");
            checkEq(textMember(again85.get(), L"Received"), options,
                    "viewer: Visu_85's display options again");
            check(textMember(again10.get(), L"Shown").rfind(L"Vendas por artigo\n", 0) == 0,
                  "viewer: the control draws the report again");
        }
    }
    call(viewer.get(), L"Unload", {});
    check(findViewer(nullptr, 0) == nullptr, "viewer: Unload takes the window down again");
}
}  // namespace

void suiteReportWindows() {
    // The stand-ins' runtime reads the databases from their data folder.
    const std::wstring data = dataFolder() + L"\\report-windows";
    CreateDirectoryW(data.c_str(), nullptr);
    CreateDirectoryW((dataFolder() + L"\\databases").c_str(), nullptr);
    if (!check(makeDatabase(dataFolder() + L"\\databases", "RELSISTEMA") &&
                   makeDatabase(dataFolder() + L"\\databases", "RELEMPRESA"),
               "report windows: the example's databases are there"))
        return;

    Engine engine;
    ComPtr<IDispatch> window = create(L"QuorilVantrel.StandIns.ParameterWindow");
    if (!check(static_cast<bool>(window), "report windows: the parameter window is creatable"))
        return;
    engine.main->JanelaParametros(wrap(window));
    engine.main->AbrirMapa();
    expectNoBox("report windows: AbrirMapa");

    const HWND top = reinterpret_cast<HWND>(
        static_cast<std::intptr_t>(numberOf(*call(window.get(), L"hWnd", {}).result.get())));
    check(IsWindowVisible(top) != FALSE, "report windows: the prompt window shows");
    checkEq(windowText(top), L"Vendas por artigo", "report windows: caption");
    const HWND date1 = hwndOf(window.get(), L"dtCampo", 1);
    const HWND date2 = hwndOf(window.get(), L"dtCampo", 2);
    const HWND combo = hwndOf(window.get(), L"Combo", 3);
    const HWND check4 = hwndOf(window.get(), L"chkCampo", 4);
    wchar_t cls[64] = {};
    GetClassNameW(date1, cls, 64);
    checkEq(cls, DATETIMEPICK_CLASSW, "report windows: the date rows are date pickers");

    // The layout: rows 400 twips apart inside the row frame at (120, 120); the frame as tall
    // as its rows plus one step; the buttons' frame 240 below; the window 360 below that.
    checkPlace(date1, 120 + 2640, 120 + 400, 1560, 315, "dtCampo(1)");
    checkPlace(hwndOf(window.get(), L"lblCampo", 1), 240, 520, 2400, 255, "lblCampo(1)");
    checkPlace(date2, 120 + 2640, 120 + 800, 1560, 315, "dtCampo(2)");
    checkPlace(combo, 120 + 2640, 120 + 1200, 2760, 0, "Combo(3)");
    checkPlace(check4, 240, 120 + 1600, 5280, 255, "chkCampo(4)");
    checkPlace(hwndOf(window.get(), L"Frame"), 120, 120, 5880, 2000, "Frame");
    checkPlace(hwndOf(window.get(), L"FrameBotoes"), 120, 2360, 5880, 735, "FrameBotoes");
    RECT outer;
    GetWindowRect(top, &outer);
    checkEqN(outer.bottom - outer.top, std::lround((2360 + 735 + 360) / twipsPerPixel()),
             "report windows: window height");
    check(!IsWindowVisible(hwndOf(window.get(), L"FrameDestino")),
          "report windows: the destination frame stays hidden");

    // The tab order: the rows in prompt order, then the five buttons, and round again.
    const HWND order[] = {date1,
                          date2,
                          combo,
                          check4,
                          hwndOf(window.get(), L"botao_ecran"),
                          hwndOf(window.get(), L"Botao_Impressora"),
                          hwndOf(window.get(), L"botao_conf"),
                          hwndOf(window.get(), L"Botao_Sair"),
                          hwndOf(window.get(), L"Botao_pdf"),
                          date1};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        check(GetNextDlgTabItem(top, order[i], FALSE) == order[i + 1],
              "report windows: tab stop " + std::to_string(i + 1) + " leads to the next");

    // Start values: the description file's first and last day of this month, the first
    // offered series, the Boolean's offered False.
    SYSTEMTIME now;
    GetLocalTime(&now);
    const SYSTEMTIME first = dateOf(date1), last = dateOf(date2);
    check(first.wYear == now.wYear && first.wMonth == now.wMonth && first.wDay == 1,
          "report windows: Data inicial starts on the first day of the month");
    const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = now.wYear % 4 == 0 && (now.wYear % 100 != 0 || now.wYear % 400 == 0);
    check(last.wMonth == now.wMonth &&
              last.wDay == monthDays[now.wMonth - 1] + (leap && now.wMonth == 2 ? 1 : 0),
          "report windows: Data final starts on the last day of the month");
    checkEq(windowText(combo), L"A", "report windows: Série starts on the first offer");
    checkEqN(SendMessageW(combo, CB_GETCOUNT, 0, 0), 2, "report windows: Série offers A and B");
    checkEqN(SendMessageW(check4, BM_GETCHECK, 0, 0), BST_UNCHECKED,
             "report windows: Só totais starts unchecked");
    checkEq(windowText(check4), L"Só totais", "report windows: the check box's caption");
    checkEq(windowText(hwndOf(window.get(), L"lblCampo", 3)), L"Série",
            "report windows: the label of row 3");
    check(screenshot(top, dataFolder() + L"\\..\\screenshot-prompt.bmp"),
          "report windows: screenshot of the prompt window");

    // Typed values reach the report: July 2026, series B, through the real PDF button.
    setDate(date1, 2026, 7, 1);
    setDate(date2, 2026, 7, 31);
    SetWindowTextW(combo, L"B");
    const std::wstring pdf = data + L"\\vendas.pdf";
    DeleteFileW(pdf.c_str());
    engine.main->FicheiroPDF(text(pdf));
    SendMessageW(hwndOf(window.get(), L"Botao_pdf"), BM_CLICK, 0, 0);
    expectNoBox("report windows: the PDF button");
    const std::string account = fileText(pdf);
    if (check(!account.empty(), "report windows: the PDF button wrote " + narrow(pdf))) {
        check(has(account, "Title: Vendas por artigo\n"), "report windows: PDF title");
        check(has(account, "01Data inicial: #") && has(account, "03Série: \"B\"\n"),
              "report windows: PDF values of the window");
        check(has(account, "  B\tFA 1\t03-07-2026\tPorca\t40\t2,00\n") &&
                  has(account, "  B\tFA 2\t28-07-2026\t"),
              "report windows: PDF rows of series B in July");
        check(!has(account, "  A\t"), "report windows: no row of series A");
    }

    viewerChecks(window.get(), top, *engine.main);

    // The window's own destination button: its chooser, a click on "PDF", then that output.
    DeleteFileW(pdf.c_str());
    {
        Clicker click(hwndOf(window.get(), L"optPDF"), hwndOf(window.get(), L"NumeroVias"), L"1");
        SendMessageW(hwndOf(window.get(), L"botao_conf"), BM_CLICK, 0, 0);
        check(click.clicked, "report windows: the destination button's chooser was answered");
    }
    check(has(fileText(pdf), "  B\tFA 1\t03-07-2026\t"),
          "report windows: the destination button wrote the chosen PDF");
    expectNoBox("report windows: the destination button");

    // The destination chooser: a click on "PDF" in the destination frame, 3 copies typed; the
    // window's choice above is cleared first, or the chooser would return it at once.
    put(window.get(), L"Destino", vI2(-100));
    {
        Clicker click(hwndOf(window.get(), L"optPDF"), hwndOf(window.get(), L"NumeroVias"), L"3");
        std::int16_t destino = 0, vias = 0;
        engine.main->EscolheDestino(2, destino, vias, u"Vendas por artigo");
        check(click.clicked, "report windows: the destination was clicked");
        checkEqN(destino, 3, "report windows: EscolheDestino's destination");
        checkEqN(vias, 3, "report windows: EscolheDestino's copies");
        check(!IsWindowVisible(top), "report windows: the chooser is gone after the choice");
    }
    expectNoBox("report windows: EscolheDestino");
    engine.main->QueroSair();
}

}  // namespace vantrel::wine
