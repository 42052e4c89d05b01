#include "viewer_control.h"

#include <ocidl.h>
#include <olectl.h>

#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "automation/runtime_error.h"
#include "platform/win32/com_handles.h"
#include "platform/win32/com_module.h"
#include "platform/win32/com_object.h"
#include "platform/win32/event_sinks.h"
#include "platform/win32/event_type_info.h"
#include "platform/win32/variant_bridge.h"
#include "platform/win32/window_handles.h"
#include "platform/win32/window_procedure.h"
#include "reports/report_output.h"
#include "reports/runtime_objects.h"

namespace vantrel::substitutes::com {

using automation::ObjectRef;
using automation::Text;
using automation::Variant;
using platform::win32::ComObject;
using platform::win32::ComPtr;

const IID DIID_StandInViewerEvents = {
    0x7a3c2b10, 0x5e41, 0x4c8d, {0x9b, 0x21, 0x3f, 0x0e, 0x6d, 0x5a, 0x11, 0x0a}};
// The in-memory libraries that hold each version's class and events.
const GUID kEventsLibrary10 = {
    0x7a3c2b10, 0x5e41, 0x4c8d, {0x9b, 0x21, 0x3f, 0x0e, 0x6d, 0x5a, 0x11, 0x0b}};
const GUID kEventsLibrary85 = {
    0x7a3c2b10, 0x5e41, 0x4c8d, {0x9b, 0x21, 0x3f, 0x0e, 0x6d, 0x5a, 0x11, 0x0c}};

namespace {

constexpr wchar_t kControlClass[] = L"QuorilVantrelReportViewer";
constexpr int kButtonId = 100;  // the toolbar's buttons follow in order
constexpr int kMargin = 8;
constexpr int kButtonWidth = 90;

// The toolbar: each button raises its event, a by-reference Boolean that starts True, and
// does its own work only when the answer stays True. The two versions number the events
// differently, as two controls with their own type libraries do.
struct ToolbarButton {
    const wchar_t* caption;
    const wchar_t* event;
    DISPID id10;
    DISPID id85;
};
constexpr ToolbarButton kToolbar[] = {
    {L"Imprimir", L"PrintButtonClicked", 2, 11},
    {L"Exportar", L"ExportButtonClicked", 3, 12},
    {L"Actualizar", L"RefreshButtonClicked", 4, 14},
    {L"Fechar", L"CloseButtonClicked", 1, 13},
};
enum Tool { kPrintTool, kExportTool, kRefreshTool, kCloseTool };

const platform::win32::EventClass& eventClass(bool version10, REFCLSID clsid) {
    auto describe = [&](bool v10) {
        platform::win32::EventClass c = {v10 ? kEventsLibrary10 : kEventsLibrary85,
                                         v10 ? L"StandInViewer10Events" : L"StandInViewer85Events",
                                         clsid,
                                         v10 ? L"CrystalActiveXReportViewer" : L"CRViewer",
                                         DIID_StandInViewerEvents,
                                         L"_StandInViewerEvents",
                                         {}};
        for (const auto& b : kToolbar)
            c.methods.push_back({b.event, v10 ? b.id10 : b.id85, {{L"UseDefault", VT_BOOL, true}}});
        return c;
    };
    static const platform::win32::EventClass c10 = describe(true);
    static const platform::win32::EventClass c85 = describe(false);
    return version10 ? c10 : c85;
}

// The members' dispatch identifiers; the display options keep the ones they are set by.
enum : DISPID {
    kReportSource = 1,
    kViewReport,
    kRefresh,
    kIsBusy,
    kZoom,
    kVisible,
    kEnablePrintButton,
    kEnableExportButton,
    kReceived = 100,
    kPrinted,
    kShown,
    kPressed,
};
constexpr DISPID kFirstOption = 251;
constexpr DISPID kLastOption = 365;
constexpr DISPID kPrintReport = 352;

const std::map<std::wstring, DISPID>& names() {
    static const std::map<std::wstring, DISPID> m = {{L"REPORTSOURCE", kReportSource},
                                                     {L"VIEWREPORT", kViewReport},
                                                     {L"REFRESH", kRefresh},
                                                     {L"ISBUSY", kIsBusy},
                                                     {L"ZOOM", kZoom},
                                                     {L"VISIBLE", kVisible},
                                                     {L"ENABLEPRINTBUTTON", kEnablePrintButton},
                                                     {L"ENABLEEXPORTBUTTON", kEnableExportButton},
                                                     {L"RECEIVED", kReceived},
                                                     {L"PRINTED", kPrinted},
                                                     {L"SHOWN", kShown},
                                                     {L"PRESSED", kPressed},
                                                     {L"PRINTREPORT", kPrintReport}};
    return m;
}

std::wstring wideOf(const Text& t) {
    return std::wstring(t.begin(), t.end());
}

class ViewerControl;

// The one connection point: the sinks of the event interface.
class EventPoint final : public ComObject<EventPoint, IConnectionPoint> {
public:
    explicit EventPoint(IConnectionPointContainer* owner) : owner_(owner) {}
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        if (!iid) return E_POINTER;
        *iid = DIID_StandInViewerEvents;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** out) override {
        if (!out) return E_POINTER;
        *out = owner_;
        if (owner_) owner_->AddRef();
        return owner_ ? S_OK : E_UNEXPECTED;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        return sinks_.advise(sink, cookie);
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override { return sinks_.unadvise(cookie); }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    // Raises a button's event; false when a sink answered False.
    bool raiseButton(DISPID event) {
        VARIANT_BOOL useDefault = VARIANT_TRUE;
        for (const auto& d : sinks_.snapshot()) {
            // A reference only: clearing it leaves the answer alone.
            platform::win32::VariantVector arg(1);
            arg[0].vt = VT_BYREF | VT_BOOL;
            arg[0].pboolVal = &useDefault;
            DISPPARAMS params = {arg.data(), nullptr, 1, 0};
            d->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                      nullptr, nullptr);
        }
        return useDefault != VARIANT_FALSE;
    }
    void detach() {
        owner_ = nullptr;
        sinks_.clear();
    }

private:
    IConnectionPointContainer* owner_;  // not held: the control owns this point
    platform::win32::EventSinks sinks_{DIID_StandInViewerEvents};
};

class ViewerControl final
    : public ComObject<ViewerControl, IDispatch, IOleObject, IOleInPlaceObject,
                       IConnectionPointContainer, IProvideClassInfo2> {
public:
    ViewerControl(bool version10, REFCLSID clsid) : version10_(version10), clsid_(clsid) {
        point_ = ComPtr<EventPoint>::adopt(new EventPoint(this));
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* n, UINT count, LCID,
                                            DISPID* ids) override {
        if (!n || !ids || count == 0) return E_POINTER;
        std::wstring upper(n[0]);
        for (auto& c : upper) c = static_cast<wchar_t>(towupper(c));
        auto it = names().find(upper);
        ids[0] = it == names().end() ? DISPID_UNKNOWN : it->second;
        for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        return it == names().end() || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
        site_ = ComPtr<IOleClientSite>::share(site);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** out) override {
        if (!out) return E_POINTER;
        *out = site_.get();
        if (*out) (*out)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override {
        destroyWindow();
        point_->detach();
        site_.reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                     LPCRECT rect) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override {
        if (!status) return E_POINTER;
        *status = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT | OLEMISC_RECOMPOSEONRESIZE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = hwnd_.get();
        return hwnd_ ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override {
        destroyWindow();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT pos, LPCRECT) override {
        if (!pos) return E_POINTER;
        if (hwnd_)
            MoveWindow(hwnd_.get(), pos->left, pos->top, pos->right - pos->left,
                       pos->bottom - pos->top, TRUE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != DIID_StandInViewerEvents) return CONNECT_E_NOCONNECTION;
        *out = point_.get();
        (*out)->AddRef();
        return S_OK;
    }

    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override {
        return platform::win32::eventClassInfo(eventClass(version10_, clsid_), out);
    }
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* out) override {
        if (!out) return E_POINTER;
        if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
        *out = DIID_StandInViewerEvents;
        return S_OK;
    }

    void* queryOther(REFIID iid) {
        if (iid == IID_IOleWindow)
            return static_cast<IOleWindow*>(static_cast<IOleInPlaceObject*>(this));
        if (iid == IID_IProvideClassInfo)
            return static_cast<IProvideClassInfo*>(static_cast<IProvideClassInfo2*>(this));
        return nullptr;
    }

    LRESULT handle(HWND hwnd, UINT message, WPARAM w, LPARAM l);

private:
    ~ViewerControl() override {
        destroyWindow();
        point_->detach();
    }
    void destroyWindow() { hwnd_.reset(); }
    void load();
    void paint();
    void print(const wchar_t* how);
    void pressed(int tool);

    bool version10_;
    CLSID clsid_;
    ComPtr<IOleClientSite> site_;
    ComPtr<EventPoint> point_;
    platform::win32::UniqueWindow hwnd_;
    // The toolbar's buttons, destroyed with the control's window.
    HWND buttons_[std::size(kToolbar)] = {};
    ObjectRef source_;
    int busyReads_ = 0;
    bool visible_ = true;
    bool printButton_ = true;
    bool exportButton_ = true;
    Variant zoom_;
    std::wstring received_;
    std::wstring printed_;
    std::wstring pressed_;
    std::vector<std::wstring> shown_;
};

bool registerClass() {
    static const bool done = platform::win32::registerWindowClass(
        kControlClass, &platform::win32::windowProcedure<ViewerControl>, COLOR_WINDOW);
    return done;
}

HRESULT ViewerControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                              LPCRECT rect) {
    if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_UIACTIVATE && verb != OLEIVERB_SHOW &&
        verb != OLEIVERB_PRIMARY)
        return OLEOBJ_S_INVALIDVERB;
    if (hwnd_) return S_OK;
    if (!parent && site) {
        auto inPlace = ComPtr<IOleClientSite>::share(site).query<IOleInPlaceSite>();
        if (inPlace) inPlace->GetWindow(&parent);
    }
    if (!parent || !registerClass()) return E_UNEXPECTED;
    RECT r = rect ? *rect : RECT{0, 0, 320, 240};
    hwnd_.reset(CreateWindowExW(0, kControlClass, L"",
                                WS_CHILD | WS_CLIPCHILDREN | (visible_ ? WS_VISIBLE : 0), r.left,
                                r.top, r.right - r.left, r.bottom - r.top, parent, nullptr,
                                platform::win32::thisModule(), this));
    if (!hwnd_) return HRESULT_FROM_WIN32(GetLastError());
    for (std::size_t i = 0; i < std::size(kToolbar); ++i) {
        const int left = kMargin + static_cast<int>(i) * (kButtonWidth + kMargin);
        buttons_[i] = CreateWindowExW(
            0, L"BUTTON", kToolbar[i].caption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, left, kMargin,
            kButtonWidth, 26, hwnd_.get(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId + static_cast<int>(i))),
            platform::win32::thisModule(), nullptr);
        SendMessageW(buttons_[i], WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }
    EnableWindow(buttons_[kPrintTool], printButton_);
    EnableWindow(buttons_[kExportTool], exportButton_);
    return S_OK;
}

void ViewerControl::load() {
    shown_.clear();
    ++busyReads_;
    if (!source_) return;
    // A report of this module's runtime shows its whole content; another one its title.
    auto report = std::dynamic_pointer_cast<reports::CrystalReport>(source_.shared());
    if (!report) {
        shown_.push_back(wideOf(source_.get(u"ReportTitle").toText()));
    } else {
        const reports::ReportContent content = report->content();
        shown_.push_back(wideOf(content.title));
        for (const auto& p : content.parameters)
            shown_.push_back(
                wideOf(reports::shownPrompt(p.prompt) + u": " + reports::shownValues(p.values)));
        std::wstring header;
        for (const auto& c : content.data.columns)
            header += (header.empty() ? L"" : L"\t") + wideOf(c);
        if (!header.empty()) shown_.push_back(header);
        for (const auto& row : content.data.rows) {
            std::wstring line;
            for (std::size_t i = 0; i < row.size(); ++i)
                line += (i ? L"\t" : L"") + wideOf(row[i].text);
            shown_.push_back(line);
        }
    }
    if (hwnd_) InvalidateRect(hwnd_.get(), nullptr, TRUE);
}

void ViewerControl::paint() {
    platform::win32::PaintScope paint(hwnd_.get());
    const HDC dc = paint.dc();
    // The title larger and bold, as a report's heading.
    platform::win32::UniqueFont title(
        CreateFontW(-18, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma"));
    platform::win32::SelectedObject font(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    RECT client;
    GetClientRect(hwnd_.get(), &client);
    int y = kMargin + 26 + kMargin;
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        font.select(i == 0 && title ? static_cast<HGDIOBJ>(title.get())
                                    : GetStockObject(DEFAULT_GUI_FONT));
        RECT line = {kMargin, y, client.right - kMargin, y + (i == 0 ? 26 : 18)};
        DrawTextW(dc, shown_[i].c_str(), -1, &line,
                  DT_LEFT | DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | (12 << 8) | DT_NOPREFIX);
        y += i == 0 ? 30 : 18;
    }
}

void ViewerControl::print(const wchar_t* how) {
    printed_ += (printed_.empty() ? L"" : L";") + std::wstring(how);
    if (source_) source_.call(u"PrintOut", false);
}

void ViewerControl::pressed(int tool) {
    // The sinks decide; a sink's error must not leave through the message loop.
    try {
        // The sinks may let the control go; it lives until the press is over.
        auto keep = ComPtr<IDispatch>::share(this);
        const ToolbarButton& b = kToolbar[tool];
        const bool ownWork = point_->raiseButton(version10_ ? b.id10 : b.id85);
        pressed_ += (pressed_.empty() ? L"" : L";") + std::wstring(b.event) +
                    (ownWork ? L"=True" : L"=False");
        if (!ownWork) return;
        // Export and close are the container's business here: only printing and reloading
        // are drawn by the stand-in.
        if (tool == kPrintTool) print(L"button");
        if (tool == kRefreshTool) load();
    } catch (...) {
    }
}

LRESULT ViewerControl::handle(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_PAINT:
            paint();
            return 0;
        case WM_COMMAND:
            if (HIWORD(w) == BN_CLICKED && LOWORD(w) >= kButtonId &&
                LOWORD(w) < kButtonId + static_cast<int>(std::size(kToolbar)))
                pressed(LOWORD(w) - kButtonId);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, w, l);
    }
}

HRESULT ViewerControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO*, UINT*) {
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    const UINT argc = params ? params->cArgs : 0;
    // Arguments come last first.
    auto arg = [&](UINT i) -> Variant {
        if (i >= argc) return Variant();
        return platform::win32::fromVariant(params->rgvarg[argc - 1 - i]);
    };
    auto answer = [&](const Variant& v) {
        if (result) platform::win32::toVariant(v, result);
        return S_OK;
    };
    try {
        if (put && argc == 0) return DISP_E_PARAMNOTOPTIONAL;
        const Variant value = put ? platform::win32::fromVariant(params->rgvarg[0]) : Variant();
        // Only the version-10 viewer prints by a method of its own.
        if (id == kPrintReport && version10_ && !put) {
            print(L"method");
            return S_OK;
        }
        if (id >= kFirstOption && id <= kLastOption) {
            if (!put) return DISP_E_MEMBERNOTFOUND;
            received_ += (received_.empty() ? L"" : L";") + std::to_wstring(id) + L"=" +
                         wideOf(value.toText());
            return S_OK;
        }
        switch (id) {
            case kReportSource:
                if (put) {
                    source_ = value.toObject();
                    return S_OK;
                }
                return answer(Variant(source_));
            case kViewReport:
            case kRefresh:
                load();
                return S_OK;
            case kIsBusy: {
                const bool busy = busyReads_ > 0;
                if (busy) --busyReads_;
                return answer(Variant(busy));
            }
            case kZoom:
                zoom_ = put ? value : arg(0);
                return S_OK;
            case kVisible:
                if (!put) return answer(Variant(visible_));
                visible_ = value.toBool();
                if (hwnd_) ShowWindow(hwnd_.get(), visible_ ? SW_SHOWNA : SW_HIDE);
                return S_OK;
            case kEnablePrintButton:
            case kEnableExportButton: {
                bool& flag = id == kEnablePrintButton ? printButton_ : exportButton_;
                if (!put) return answer(Variant(flag));
                flag = value.toBool();
                const int tool = id == kEnablePrintButton ? kPrintTool : kExportTool;
                if (buttons_[tool]) EnableWindow(buttons_[tool], flag);
                return S_OK;
            }
            case kReceived:
                return answer(Variant(Text(received_.begin(), received_.end())));
            case kPrinted:
                return answer(Variant(Text(printed_.begin(), printed_.end())));
            case kPressed:
                return answer(Variant(Text(pressed_.begin(), pressed_.end())));
            case kShown: {
                std::wstring all;
                for (const auto& s : shown_) all += s + L"\n";
                return answer(Variant(Text(all.begin(), all.end())));
            }
            default:
                return DISP_E_MEMBERNOTFOUND;
        }
    } catch (...) {
        return DISP_E_EXCEPTION;
    }
}

}  // namespace

HRESULT createViewerControl(bool version10, REFCLSID clsid, REFIID iid, void** out) {
    return ViewerControl::createInstance(iid, out, version10, clsid);
}

}  // namespace vantrel::substitutes::com
