#include "platform/win32/viewer_window.h"

#include <ocidl.h>
#include <olectl.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "automation/members.h"
#include "automation/runtime_error.h"
#include "platform/win32/com_error.h"
#include "platform/win32/com_handles.h"
#include "platform/win32/com_module.h"
#include "platform/win32/com_object.h"
#include "platform/win32/dispatch_bridge.h"
#include "platform/win32/screen_units.h"
#include "platform/win32/variant_bridge.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/window_procedure.h"
#include "reports/engine/frm_doc_crystal.h"

namespace vantrel::platform::win32 {

using automation::Argument;
using automation::CallKind;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;

const CLSID CLSID_frmDocCrystal = {
    0x6c1f4a52, 0x8d3b, 0x4e27, {0xa9, 0xc4, 0x2b, 0x7e, 0x5d, 0x0f, 0x3a, 0x81}};

namespace {

// The container's side of one hosted control: its client site and in-place site.
class Site final : public ComObject<Site, IOleClientSite, IOleInPlaceSite> {
public:
    explicit Site(HWND window) : window_(window) {}
    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow, IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                               LPRECT pos, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO info) override {
        if (frame) *frame = nullptr;
        if (doc) *doc = nullptr;
        if (pos) GetClientRect(window_, pos);
        if (clip) GetClientRect(window_, clip);
        if (info) {
            info->fMDIApp = FALSE;
            info->hwndFrame = window_;
            info->haccel = nullptr;
            info->cAccelEntries = 0;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    void* queryOther(REFIID iid) {
        if (iid == IID_IOleWindow)
            return static_cast<IOleWindow*>(static_cast<IOleInPlaceSite*>(this));
        return nullptr;
    }

private:
    HWND window_;
};

// The sink of a control's events. Of the several that carry one by-reference Boolean (print,
// export, refresh, close...), only the print button's is ours; the others are left as the
// control raised them, their Boolean untouched.
class PrintButtonSink final : public ComObject<PrintButtonSink, IDispatch> {
public:
    PrintButtonSink(const IID& events, DISPID printButton,
                    interfaces::windows::ViewerWindowPort::PrintButtonHandler h)
        : events_(events), printButton_(printButton), handler_(std::move(h)) {}
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        if (id != printButton_ || !params || params->cArgs != 1 ||
            params->rgvarg[0].vt != (VT_BYREF | VT_BOOL))
            return S_OK;
        VARIANT_BOOL* answer = params->rgvarg[0].pboolVal;
        bool useDefault = *answer != VARIANT_FALSE;
        try {
            handler_(useDefault);
        } catch (const RuntimeError& e) {
            // An error of the window's code, shown as the program would show it.
            const Text text = Variant(e.number()).toText() + u": " + e.description();
            MessageBoxW(nullptr, wide(text), L"frmDocCrystal", MB_OK | MB_ICONEXCLAMATION);
        } catch (...) {
            MessageBoxW(nullptr, L"Unexpected error", L"frmDocCrystal", MB_OK | MB_ICONEXCLAMATION);
        }
        *answer = useDefault ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    void* queryOther(REFIID iid) {
        return iid == events_ ? static_cast<IDispatch*>(this) : nullptr;
    }

private:
    IID events_;
    DISPID printButton_;
    interfaces::windows::ViewerWindowPort::PrintButtonHandler handler_;
};

struct PrintButtonEvent {
    IID events;
    DISPID id;
};

// The print-button event as the control's own type information publishes it: the member
// "PrintButtonClicked" of the coclass's [default, source] interface.
std::optional<PrintButtonEvent> printButtonEvent(IOleObject* control) {
    ComPtr<IProvideClassInfo> provider;
    if (FAILED(control->QueryInterface(IID_IProvideClassInfo,
                                       reinterpret_cast<void**>(provider.put()))))
        return std::nullopt;
    ComPtr<ITypeInfo> coclass;
    if (FAILED(provider->GetClassInfo(coclass.put())) || !coclass) return std::nullopt;
    UniqueTypeAttr attr(coclass.get());
    if (FAILED(coclass->GetTypeAttr(attr.put())) || attr->typekind != TKIND_COCLASS)
        return std::nullopt;
    for (UINT i = 0; i < attr->cImplTypes; ++i) {
        INT flags = 0;
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> source;
        if (FAILED(coclass->GetImplTypeFlags(i, &flags)) ||
            (flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) !=
                (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE) ||
            FAILED(coclass->GetRefTypeOfImplType(i, &ref)) ||
            FAILED(coclass->GetRefTypeInfo(ref, source.put())))
            continue;
        UniqueTypeAttr sourceAttr(source.get());
        if (FAILED(source->GetTypeAttr(sourceAttr.put()))) return std::nullopt;
        LPOLESTR name = const_cast<LPOLESTR>(L"PrintButtonClicked");
        MEMBERID id = MEMBERID_NIL;
        if (FAILED(source->GetIDsOfNames(&name, 1, &id))) return std::nullopt;
        return PrintButtonEvent{sourceAttr->guid, id};
    }
    return std::nullopt;
}

// A control whose print button cannot be told from its other buttons keeps all of them to
// itself; said once, for whoever follows the debugger output.
void traceNoPrintButton(TextView progId) {
    static bool said = false;
    if (std::exchange(said, true)) return;
    const Text text = u"QuorilVantrel frmDocCrystal: " + Text(progId) +
                      u" publishes no PrintButtonClicked event in its type information; its "
                      u"print button prints as the control does by itself.\n";
    OutputDebugStringW(wide(text));
}

// A failed step of hosting a control, as the form's error.
void check(HRESULT hr, const Text& what) {
    throwIfFailed(hr, u"frmDocCrystal", what);
}

}  // namespace

// One hosted control, as the form sees it: Move and Visible are the container's (they place
// and show the control's window), "#n" goes by dispatch identifier n, the rest by name.
struct Win32ViewerPort::Hosted final : automation::Object {
    ComPtr<IOleObject> ole;
    ComPtr<IOleInPlaceObject> inPlace;
    ComPtr<IDispatch> dispatch;
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    std::shared_ptr<DispatchObject> byName;
    double tpp = 15;
    bool visible = true;

    HWND window() const {
        HWND h = nullptr;
        if (inPlace) inPlace->GetWindow(&h);
        return h;
    }

    Variant byId(DISPID id, CallKind kind, std::span<Argument> args) {
        VariantVector values(args.size());
        for (std::size_t i = 0; i < args.size(); ++i)
            toVariant(args[args.size() - 1 - i].value, &values[i]);
        DISPID named = DISPID_PROPERTYPUT;
        const bool put = automation::isPut(kind);
        DISPPARAMS params = {values.data(), put ? &named : nullptr,
                             static_cast<UINT>(values.size()), put ? 1u : 0u};
        UniqueVariant result;
        const WORD flags =
            put ? (kind == CallKind::PutRef ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT)
                : DISPATCH_METHOD | DISPATCH_PROPERTYGET;
        const HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                            result.get(), nullptr, nullptr);
        Variant out = fromVariant(*result.get());
        if (FAILED(hr))
            automation::unknownMember(u"#" + Variant(static_cast<std::int32_t>(id)).toText());
        return out;
    }

    // The container's own members; a control's members are asked of the control.
    static const automation::Members<Hosted>& container() {
        using automation::Access;
        using automation::Call;
        static const automation::Members<Hosted> table{
            {u"Move", Access::Read, 0, 4,
             [](Hosted& h, Call& c) {
                 double place[4] = {0, 0, 0, 0};
                 for (std::size_t i = 0; i < c.count(); ++i)
                     if (!c.arg(i).isMissing()) place[i] = c.arg(i).toDouble();
                 RECT r = {pixels(place[0], h.tpp), pixels(place[1], h.tpp),
                           pixels(place[0] + place[2], h.tpp), pixels(place[1] + place[3], h.tpp)};
                 if (h.inPlace) h.inPlace->SetObjectRects(&r, &r);
                 return Variant();
             }},
            {u"Visible", Access::ReadWrite, 0, 0,
             [](Hosted& h, Call& c) {
                 if (!c.isPut()) return Variant(h.visible);
                 h.visible = c.value().toBool();
                 if (HWND w = h.window()) ShowWindow(w, h.visible ? SW_SHOWNA : SW_HIDE);
                 return Variant();
             }},
        };
        return table;
    }

    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) override {
        if (!member.empty() && member[0] == u'#')
            return byId(static_cast<DISPID>(Variant(Text(member.substr(1))).toLong()), kind, args);
        const auto& own = container();
        const std::size_t index = own.find(member);
        if (index != automation::MemberTable::npos) return own.invokeAt(*this, index, kind, args);
        return byName->invoke(member, kind, args);
    }

    void release() {
        if (point && cookie) point->Unadvise(cookie);
        point.reset();
        if (inPlace) inPlace->InPlaceDeactivate();
        if (ole) {
            ole->Close(OLECLOSE_NOSAVE);
            ole->SetClientSite(nullptr);
        }
        inPlace.reset();
        ole.reset();
    }
};

Win32ViewerPort::Win32ViewerPort() : tpp_(twipsPerPixel()) {
    openWindow();
}

void Win32ViewerPort::openWindow() {
    if (hwnd_) return;
    static const bool registered =
        registerWindowClass(kViewerWindowClass, &windowProcedure<Win32ViewerPort>, COLOR_BTNFACE);
    // Owner-less: the viewer stays on its own beside whatever window opened it.
    if (registered) {
        hwnd_.reset(CreateWindowExW(0, kViewerWindowClass, L"",
                                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 720, 480, nullptr, nullptr, thisModule(), this));
    }
    if (!hwnd_) throw RuntimeError(automation::errc::OutOfMemory);
}

Win32ViewerPort::~Win32ViewerPort() {
    close();
}

ObjectRef Win32ViewerPort::createControl(TextView progId, PrintButtonHandler onPrintButton) {
    // The first control after a close loads the window again.
    openWindow();
    auto hosted = std::make_shared<Hosted>();
    hosted->tpp = tpp_;
    CLSID clsid;
    check(CLSIDFromProgID(wide(Text(progId)), &clsid), u"No viewer control " + Text(progId));
    check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                           reinterpret_cast<void**>(hosted->ole.put())),
          u"The viewer control cannot be created");
    auto site = ComPtr<IOleClientSite>::adopt(new Site(hwnd_.get()));
    check(hosted->ole->SetClientSite(site.get()), u"The viewer control refuses its site");
    RECT r;
    GetClientRect(hwnd_.get(), &r);
    check(hosted->ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, hwnd_.get(), &r),
          u"The viewer control cannot be activated");
    hosted->inPlace = hosted->ole.query<IOleInPlaceObject>();
    hosted->dispatch = hosted->ole.query<IDispatch>();
    if (!hosted->dispatch) check(E_NOINTERFACE, u"The viewer control has no IDispatch");
    hosted->byName = std::make_shared<DispatchObject>(hosted->dispatch);

    // The print-button event, on the control's default source interface.
    const auto printButton = printButtonEvent(hosted->ole.get());
    auto container = hosted->ole.query<IConnectionPointContainer>();
    if (printButton && container &&
        SUCCEEDED(container->FindConnectionPoint(printButton->events, hosted->point.put()))) {
        auto sink = ComPtr<IDispatch>::adopt(
            new PrintButtonSink(printButton->events, printButton->id, std::move(onPrintButton)));
        check(hosted->point->Advise(sink.get(), &hosted->cookie),
              u"The viewer control's events cannot be connected");
    } else {
        traceNoPrintButton(progId);
    }
    controls_.push_back(hosted);
    return ObjectRef(std::static_pointer_cast<automation::Object>(hosted));
}

std::pair<double, double> Win32ViewerPort::clientSize() {
    RECT r = {};
    if (hwnd_) GetClientRect(hwnd_.get(), &r);
    return {r.right * tpp_, r.bottom * tpp_};
}

void Win32ViewerPort::show(const Text& caption, bool modal) {
    if (!hwnd_) {
        throw RuntimeError(automation::errc::ApplicationDefined, u"frmDocCrystal",
                           u"The viewer window was unloaded");
    }
    SetWindowTextW(hwnd_.get(), wide(caption));
    ShowWindow(hwnd_.get(), SW_SHOW);
    SetForegroundWindow(hwnd_.get());
    if (onResize) onResize();
    if (!modal) return;
    MSG msg;
    while (hwnd_ && IsWindowVisible(hwnd_.get()) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Win32ViewerPort::hide() {
    if (hwnd_) ShowWindow(hwnd_.get(), SW_HIDE);
}

void Win32ViewerPort::close() {
    for (auto& c : controls_) c->release();
    controls_.clear();
    hwnd_.reset();
}

LRESULT Win32ViewerPort::handle(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_SIZE:
            if (hwnd_ && onResize) onResize();
            return 0;
        case WM_CLOSE:
            // Closed by the user: the window goes out of sight; Unload takes it down.
            ShowWindow(hwnd, SW_HIDE);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, w, l);
    }
}

HRESULT createFrmDocCrystal(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    static Win32Platform platform;
    IDispatch* dispatch = nullptr;
    HRESULT hr = guardedCall(IID_IDispatch, [&] {
        auto port = std::make_unique<Win32ViewerPort>();
        Win32ViewerPort* raw = port.get();
        auto form = std::make_shared<reports::engine::frmDocCrystal>(platform, std::move(port));
        // The form owns the port, so the port never outlives the form it calls.
        raw->onResize = [f = form.get()] { f->Form_Resize(); };
        dispatch =
            dispatchFromObject(ObjectRef(std::static_pointer_cast<automation::Object>(form)));
    });
    if (FAILED(hr)) return hr;
    hr = dispatch->QueryInterface(iid, out);
    dispatch->Release();
    return hr;
}

}  // namespace vantrel::platform::win32
