#include "parameter_window.h"

#include <windows.h>

#include <commctrl.h>
#include <oleauto.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "automation/datetime.h"
#include "automation/members.h"
#include "automation/runtime_error.h"
#include "interfaces/report_windows.h"
#include "platform/win32/com_module.h"
#include "platform/win32/screen_units.h"
#include "platform/win32/window_handles.h"
#include "platform/win32/window_procedure.h"
#include "windows/control_model.h"

namespace vantrel::substitutes::com {

using automation::Access;
using automation::Argument;
using automation::Call;
using automation::CallKind;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;
namespace contract = interfaces::windows;
using platform::win32::pixels;
using platform::win32::twipsPerPixel;
using Kind = windows::ControlKind;

namespace {

constexpr wchar_t kWindowClass[] = L"QuorilVantrelParameterWindow";

Text key(TextView name) {
    return automation::lcase(name);
}

const wchar_t* wide(const Text& t) {
    return reinterpret_cast<const wchar_t*>(t.c_str());
}

Text windowText(HWND hwnd) {
    const int n = GetWindowTextLengthW(hwnd);
    std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
    GetWindowTextW(hwnd, s.data(), n + 1);
    s.resize(static_cast<std::size_t>(n));
    return Text(s.begin(), s.end());
}

// Where a control sits and how it starts, in twips.
struct Place {
    double left, top, width, height;
    bool visible = false;
};

windows::Design designOf(const Place& place) {
    return {{u"Left", Variant(place.left)},          {u"Top", Variant(place.top)},
            {u"Width", Variant(place.width)},        {u"Height", Variant(place.height)},
            {u"Visible", Variant(place.visible)},    {u"Enabled", Variant(true)},
            {u"TabIndex", Variant(std::int16_t{0})}, {u"Tag", Variant(Text())}};
}

Variant handleOf(HWND hwnd) {
    return Variant(static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(hwnd)));
}

class ParameterWindow;

// A control over a real child window: what it shows lives in the window.
class Control final : public windows::ControlModel {
public:
    Control(ParameterWindow& window, Kind kind, Text container, const windows::Design& design,
            int order);
    ~Control() override;

    std::shared_ptr<Control> loadedCopy(int order) const;
    // Puts the real control where its twips say, shown when it and its frame are visible.
    void apply();
    HWND hwnd() const { return own_.get(); }
    const Text& container() const { return container_; }
    std::int16_t tabIndex() const { return property(u"TabIndex").toInteger(); }
    int order() const { return order_; }
    bool visible() const { return flag(u"Visible"); }
    double left() const { return number(u"Left"); }
    double top() const { return number(u"Top"); }

private:
    void create();

    void placed() override { apply(); }
    void enabledChanged() override { EnableWindow(hwnd(), flag(u"Enabled")); }
    void tabIndexChanged() override;
    Variant handle() const override { return handleOf(hwnd()); }
    void refresh() override { InvalidateRect(hwnd(), nullptr, TRUE); }
    void focus() override { SetFocus(hwnd()); }
    Text caption() const override { return windowText(hwnd()); }
    void caption(const Text& text) override { SetWindowTextW(hwnd(), wide(text)); }
    Text typed() const override { return windowText(hwnd()); }
    void type(const Text& text) override { SetWindowTextW(hwnd(), wide(text)); }
    bool checked() const override { return SendMessageW(hwnd(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void check(bool on) override {
        SendMessageW(hwnd(), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    Variant date() const override;
    void date(const Variant& value) override;
    std::int32_t count() const override;
    Text entry(std::int32_t index) const override;
    void add(const Text& entry) override;
    void clear() override;
    std::int32_t current() const override;
    void current(std::int32_t index) override;
    bool chosen(std::int32_t index) const override {
        return SendMessageW(hwnd(), LB_GETSEL, index, 0) > 0;
    }
    void choose(std::int32_t index, bool on) override {
        SendMessageW(hwnd(), LB_SETSEL, on ? TRUE : FALSE, index);
    }

    ParameterWindow& window_;
    Text container_;
    int order_;
    platform::win32::UniqueWindow own_;
};

class ControlArray final : public windows::ControlArrayModel<Control> {
public:
    ControlArray(ParameterWindow& window, std::shared_ptr<Control> designed)
        : ControlArrayModel(std::move(designed)), window_(window) {}

private:
    std::shared_ptr<Control> copyOfDesigned() const override;
    void loaded() override;

    ParameterWindow& window_;
};

class ParameterWindow final : public automation::TableObject<ParameterWindow> {
public:
    ParameterWindow();
    ~ParameterWindow() override;
    static const automation::Members<ParameterWindow>& members();
    // The arrays and controls by name, then the window's own members.
    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) override;

    HWND hwnd() const { return own_.get(); }
    double tpp() const { return tpp_; }
    int nextOrder() { return ++order_; }
    // The frame a control sits in: its twips offset and whether it shows.
    std::pair<double, double> origin(const Text& container) const;
    bool containerVisible(const Text& container) const;
    // The destination frame, once shown, covers the rows and the buttons, as an opaque
    // frame on top of them would.
    bool covered(const Control& c) const;
    // After a frame moved or changed visibility, its controls follow.
    void frameChanged(const Control& frame);
    // Tab order is the controls' order among their siblings: by TabIndex, frames behind.
    void reorder();
    // Until the window is created and once its destruction begins, what it receives is
    // DefWindowProc's.
    LRESULT handle(HWND hwnd, UINT message, WPARAM w, LPARAM l);

private:
    std::vector<std::shared_ptr<Control>> all() const;
    void addArray(const Text& name, Kind kind, const Text& container, const Place& place);
    void addControl(const Text& name, Kind kind, const Text& container, const Place& place,
                    const Text& caption = Text());
    void clicked(HWND button);
    void runButton(const Text& name);
    void show(std::int16_t mode);
    void unload();
    // Height or Width, in twips; the window follows.
    Variant size(double& twips, const Call& c);
    RECT clientSize() const;

    platform::win32::UniqueWindow own_;
    double tpp_;
    int order_ = 0;
    std::map<Text, std::shared_ptr<ControlArray>> arrays_;
    std::map<Text, std::shared_ptr<Control>> controls_;
    double width_ = 6600;
    double height_ = 3600;
    Variant destino_{contract::kDestinoPorEscolher};
    ObjectRef mapa_;
    bool loaded_ = true;
    bool busy_ = false;
};

// ---- controls ----------------------------------------------------------------------------

Control::Control(ParameterWindow& window, Kind kind, Text container, const windows::Design& design,
                 int order)
    : ControlModel(kind, design), window_(window), container_(std::move(container)), order_(order) {
    create();
}

Control::~Control() = default;

void Control::create() {
    const wchar_t* cls = L"BUTTON";
    DWORD style = WS_CHILD;
    DWORD exStyle = 0;
    switch (kind()) {
        case Kind::Label:
            cls = L"STATIC";
            style |= SS_LEFT | SS_NOPREFIX;
            break;
        case Kind::CheckBox:
            style |= BS_AUTOCHECKBOX | WS_TABSTOP;
            break;
        case Kind::TextBox:
            cls = L"EDIT";
            style |= ES_AUTOHSCROLL | WS_TABSTOP;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case Kind::DateField:
            cls = DATETIMEPICK_CLASSW;
            style |= DTS_SHORTDATEFORMAT | WS_TABSTOP;
            break;
        case Kind::List:
            cls = L"LISTBOX";
            style |= LBS_MULTIPLESEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case Kind::ComboBox:
            cls = L"COMBOBOX";
            style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
            break;
        case Kind::Frame:
            style |= BS_GROUPBOX;
            break;
        case Kind::Button:
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case Kind::Option:
            style |= BS_RADIOBUTTON | WS_TABSTOP;
            break;
    }
    own_.reset(CreateWindowExW(exStyle, cls, L"", style, 0, 0, 1, 1, window_.hwnd(), nullptr,
                               platform::win32::thisModule(), nullptr));
    if (!own_) throw RuntimeError(automation::errc::OutOfMemory);
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    apply();
}

void Control::apply() {
    const double tpp = window_.tpp();
    const auto [x0, y0] = window_.origin(container_);
    int height = pixels(number(u"Height"), tpp);
    // A drop-down's own height includes its open list.
    if (kind() == Kind::ComboBox) height += 150;
    MoveWindow(hwnd(), pixels(x0 + left(), tpp), pixels(y0 + top(), tpp),
               pixels(number(u"Width"), tpp), height, TRUE);
    const bool shown = visible() && window_.containerVisible(container_) && !window_.covered(*this);
    ShowWindow(hwnd(), shown ? SW_SHOWNA : SW_HIDE);
    if (kind() == Kind::Frame) window_.frameChanged(*this);
}

std::shared_ptr<Control> Control::loadedCopy(int order) const {
    windows::Design design(properties_.begin(), properties_.end());
    for (auto& [name, value] : design)
        if (name == u"visible") value = Variant(false);
    auto copy = std::make_shared<Control>(window_, kind(), container_, design, order);
    EnableWindow(copy->hwnd(), flag(u"Enabled"));
    if (!windows::isList(kind())) SetWindowTextW(copy->hwnd(), wide(windowText(hwnd())));
    if (kind() == Kind::CheckBox)
        SendMessageW(copy->hwnd(), BM_SETCHECK, SendMessageW(hwnd(), BM_GETCHECK, 0, 0), 0);
    if (kind() == Kind::DateField) {
        SYSTEMTIME st;
        if (SendMessageW(hwnd(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) == GDT_VALID)
            SendMessageW(copy->hwnd(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    }
    copy->apply();
    return copy;
}

void Control::tabIndexChanged() {
    window_.reorder();
}

std::int32_t Control::count() const {
    const UINT msg = kind() == Kind::List ? LB_GETCOUNT : CB_GETCOUNT;
    return static_cast<std::int32_t>(SendMessageW(hwnd(), msg, 0, 0));
}

std::int32_t Control::current() const {
    if (kind() == Kind::List) {
        // The focused entry of a multi-select list, -1 while the list has none.
        if (count() == 0) return -1;
        return static_cast<std::int32_t>(SendMessageW(hwnd(), LB_GETCARETINDEX, 0, 0));
    }
    return static_cast<std::int32_t>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0));
}

void Control::current(std::int32_t index) {
    if (kind() == Kind::List) {
        if (index >= 0) SendMessageW(hwnd(), LB_SETCARETINDEX, index, FALSE);
    } else {
        SendMessageW(hwnd(), CB_SETCURSEL, index, 0);
    }
}

Text Control::entry(std::int32_t index) const {
    const bool list = kind() == Kind::List;
    std::wstring s(static_cast<std::size_t>(
                       SendMessageW(hwnd(), list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, index, 0)) +
                       1,
                   L'\0');
    const auto n = SendMessageW(hwnd(), list ? LB_GETTEXT : CB_GETLBTEXT, index,
                                reinterpret_cast<LPARAM>(s.data()));
    s.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return Text(s.begin(), s.end());
}

void Control::add(const Text& entry) {
    SendMessageW(hwnd(), kind() == Kind::List ? LB_ADDSTRING : CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(wide(entry)));
}

void Control::clear() {
    SendMessageW(hwnd(), kind() == Kind::List ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
}

Variant Control::date() const {
    SYSTEMTIME st;
    if (SendMessageW(hwnd(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
        return Variant();
    return Variant::date(automation::makeDate(st.wYear, st.wMonth, st.wDay));
}

void Control::date(const Variant& value) {
    const auto parts = automation::splitDate(value.toDate());
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(parts.year);
    st.wMonth = static_cast<WORD>(parts.month);
    st.wDay = static_cast<WORD>(parts.day);
    SendMessageW(hwnd(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

// ---- control arrays ----------------------------------------------------------------------

std::shared_ptr<Control> ControlArray::copyOfDesigned() const {
    return designed().loadedCopy(window_.nextOrder());
}

void ControlArray::loaded() {
    window_.reorder();
}

// ---- the window ---------------------------------------------------------------------------

void registerClass() {
    static bool done = [] {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        return platform::win32::registerWindowClass(
            kWindowClass, &platform::win32::windowProcedure<ParameterWindow>, COLOR_BTNFACE);
    }();
    if (!done) throw RuntimeError(automation::errc::OutOfMemory);
}

constexpr const char16_t* kButtons[] = {u"botao_ecran", u"Botao_Impressora", u"botao_conf",
                                        u"Botao_Sair", u"Botao_pdf"};
constexpr const char16_t* kButtonCaptions[] = {u"Ecrã", u"Impressora", u"Destino...", u"Sair",
                                               u"PDF"};
constexpr const char16_t* kOptions[] = {u"optEcran", u"optImpressora", u"optPDF", u"optEmail",
                                        u"optExcel"};
constexpr const char16_t* kOptionCaptions[] = {u"Ecrã", u"Impressora", u"PDF", u"E-mail", u"Excel"};

ParameterWindow::ParameterWindow() : tpp_(twipsPerPixel()) {
    registerClass();
    own_.reset(CreateWindowExW(0, kWindowClass, L"Pedidos", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                               CW_USEDEFAULT, CW_USEDEFAULT, pixels(width_, tpp_),
                               pixels(height_, tpp_), nullptr, nullptr,
                               platform::win32::thisModule(), this));
    if (!own_) throw RuntimeError(automation::errc::OutOfMemory);
    using D = Place;
    // The frames first: the controls inside take their origin from them.
    addControl(u"Frame", Kind::Frame, Text(), D{120, 120, 5880, 1200});
    addControl(u"FrameBotoes", Kind::Frame, Text(), D{120, 1440, 5880, 735});
    addControl(u"FrameDestino", Kind::Frame, Text(), D{6240, 120, 3000, 2280}, u"Destino");
    addArray(u"lblCampo", Kind::Label, u"frame", D{120, 0, 2400, 255});
    addArray(u"chkCampo", Kind::CheckBox, u"frame", D{120, 0, 5280, 255});
    addArray(u"txtCampo", Kind::TextBox, u"frame", D{2640, 0, 2760, 315});
    addArray(u"dtCampo", Kind::DateField, u"frame", D{2640, 0, 1560, 315});
    addArray(u"EscolhaMultipla", Kind::List, u"frame", D{2640, 0, 2760, 315});
    addArray(u"Combo", Kind::ComboBox, u"frame", D{2640, 0, 2760, 315});
    addArray(u"Lista", Kind::Button, u"frame", D{5460, 0, 315, 315});
    SetWindowTextW(arrays_.at(u"lista")->item(0)->hwnd(), L"...");
    for (int i = 0; i < 5; ++i) {
        addControl(kButtons[i], Kind::Button, u"framebotoes",
                   D{120.0 + 1140 * i, 240, 1020, 375, true}, kButtonCaptions[i]);
        addControl(kOptions[i], Kind::Option, u"framedestino",
                   D{120, 300.0 + 390 * i, 1500, 315, true}, kOptionCaptions[i]);
    }
    addControl(u"lblVias", Kind::Label, u"framedestino", D{1740, 345, 540, 255, true}, u"Vias");
    addControl(u"NumeroVias", Kind::TextBox, u"framedestino", D{2280, 300, 600, 315, true}, u"1");
    reorder();
}

ParameterWindow::~ParameterWindow() {
    // The controls go first, then the window: while it is destroyed its messages reach
    // DefWindowProc, since the owner no longer holds it.
    arrays_.clear();
    controls_.clear();
    own_.reset();
}

void ParameterWindow::addArray(const Text& name, Kind kind, const Text& container,
                               const Place& place) {
    arrays_[key(name)] = std::make_shared<ControlArray>(
        *this, std::make_shared<Control>(*this, kind, container, designOf(place), nextOrder()));
}

void ParameterWindow::addControl(const Text& name, Kind kind, const Text& container,
                                 const Place& place, const Text& caption) {
    auto c = std::make_shared<Control>(*this, kind, container, designOf(place), nextOrder());
    SetWindowTextW(c->hwnd(), wide(caption));
    controls_[key(name)] = c;
}

std::vector<std::shared_ptr<Control>> ParameterWindow::all() const {
    std::vector<std::shared_ptr<Control>> out;
    for (const auto& [name, a] : arrays_)
        for (const auto& [index, c] : a->elements()) out.push_back(c);
    for (const auto& [name, c] : controls_) out.push_back(c);
    return out;
}

std::pair<double, double> ParameterWindow::origin(const Text& container) const {
    if (container.empty()) return {0, 0};
    auto it = controls_.find(container);
    if (it == controls_.end()) return {0, 0};
    return {it->second->left(), it->second->top()};
}

bool ParameterWindow::containerVisible(const Text& container) const {
    if (container.empty()) return true;
    auto it = controls_.find(container);
    return it == controls_.end() || it->second->visible();
}

void ParameterWindow::frameChanged(const Control& frame) {
    auto destination = controls_.find(u"framedestino");
    const bool covering = destination != controls_.end() && destination->second.get() == &frame;
    for (const auto& c : all()) {
        const bool inside = !c->container().empty() && controls_.count(c->container()) &&
                            controls_.at(c->container()).get() == &frame;
        if (inside || (covering && c.get() != &frame && c->container().empty())) c->apply();
    }
}

bool ParameterWindow::covered(const Control& c) const {
    auto destination = controls_.find(u"framedestino");
    if (destination == controls_.end() || !destination->second->visible()) return false;
    return &c != destination->second.get() && c.container() != u"framedestino";
}

void ParameterWindow::reorder() {
    auto controls = all();
    std::stable_sort(controls.begin(), controls.end(), [](const auto& a, const auto& b) {
        const bool fa = a->kind() == Kind::Frame, fb = b->kind() == Kind::Frame;
        if (fa != fb) return fb;
        if (a->tabIndex() != b->tabIndex()) return a->tabIndex() < b->tabIndex();
        return a->order() < b->order();
    });
    HWND after = HWND_TOP;
    for (const auto& c : controls) {
        SetWindowPos(c->hwnd(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = c->hwnd();
    }
}

void ParameterWindow::show(std::int16_t mode) {
    loaded_ = true;
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    if (mode != contract::kModal) return;
    MSG msg;
    while (loaded_ && IsWindowVisible(hwnd()) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(hwnd(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void ParameterWindow::unload() {
    // The controls stay, so what the user typed can still be read; the window is gone.
    loaded_ = false;
    ShowWindow(hwnd(), SW_HIDE);
}

void ParameterWindow::runButton(const Text& name) {
    if (name == u"botao_sair") {
        if (mapa_) mapa_.call(u"QueroSair");
        unload();
        return;
    }
    for (int i = 0; i < 5; ++i) {
        if (name == key(kOptions[i])) {
            for (const char16_t* o : kOptions)
                SendMessageW(controls_.at(key(o))->hwnd(), BM_SETCHECK, BST_UNCHECKED, 0);
            SendMessageW(controls_.at(name)->hwnd(), BM_SETCHECK, BST_CHECKED, 0);
            destino_ = Variant(static_cast<std::int16_t>(i + 1));
            return;
        }
    }
    if (!mapa_) return;
    if (name == u"botao_ecran") {
        mapa_.call(u"VisualizarEcran", true);
    } else if (name == u"botao_impressora") {
        mapa_.call(u"VisualizarImpressora", false, true);
    } else if (name == u"botao_pdf") {
        mapa_.call(u"VisualizarPDF", true);
    } else if (name == u"botao_conf") {
        destino_ = Variant(contract::kDestinoPorEscolher);
        Variant destino(std::int16_t{0});
        Variant vias(std::int16_t{0});
        const std::int16_t proposed =
            std::max<std::int16_t>(mapa_.get(u"NumeroDeVias").toInteger(), 1);
        mapa_.call(u"EscolheDestino", proposed, automation::byRef(destino), automation::byRef(vias),
                   windowText(hwnd()));
        const std::int16_t chosen = destino.toInteger();
        if (chosen < 1 || chosen > 5) return;
        mapa_.put(u"NumeroDeVias", vias.toInteger());
        static const char16_t* const outputs[] = {u"VisualizarEcran", u"VisualizarImpressora",
                                                  u"VisualizarPDF", u"VisualizarEmail",
                                                  u"VisualizarExcel"};
        if (chosen == 2)
            mapa_.call(outputs[1], false, true);
        else
            mapa_.call(outputs[chosen - 1], true);
    }
}

void ParameterWindow::clicked(HWND button) {
    Text name;
    for (const auto& [n, c] : controls_)
        if (c->hwnd() == button) name = n;
    // A destination is picked while botao_conf's chooser waits; the other buttons wait until
    // the running one is done.
    const bool destination = name.rfind(u"opt", 0) == 0;
    if (name.empty() || (busy_ && !destination)) return;
    const bool outer = !destination;
    if (outer) busy_ = true;
    // The report's own errors show their boxes; anything else that escapes shows here
    // rather than crossing the message loop.
    try {
        runButton(name);
    } catch (const RuntimeError& e) {
        MessageBoxW(hwnd(), wide(e.description()), L"Pedidos", MB_OK | MB_ICONEXCLAMATION);
    } catch (const std::exception&) {
        MessageBoxW(hwnd(), L"Erro inesperado", L"Pedidos", MB_OK | MB_ICONEXCLAMATION);
    }
    if (outer) busy_ = false;
}

LRESULT ParameterWindow::handle(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (!own_) return DefWindowProcW(hwnd, message, w, l);
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(w) == BN_CLICKED && l) clicked(reinterpret_cast<HWND>(l));
            return 0;
        case WM_CLOSE:
            unload();
            return 0;
        default:
            return DefWindowProcW(hwnd, message, w, l);
    }
}

const automation::Members<ParameterWindow>& ParameterWindow::members() {
    using W = ParameterWindow;
    static const automation::Members<W> table{
        {u"Caption", Access::ReadWrite, 0, 0,
         [](W& w, Call& c) {
             if (!c.isPut()) return Variant(windowText(w.hwnd()));
             SetWindowTextW(w.hwnd(), wide(c.value().toText()));
             return Variant();
         }},
        {u"Height", Access::ReadWrite, 0, 0, [](W& w, Call& c) { return w.size(w.height_, c); }},
        {u"Width", Access::ReadWrite, 0, 0, [](W& w, Call& c) { return w.size(w.width_, c); }},
        {u"Destino", Access::ReadWrite, 0, 0,
         [](W& w, Call& c) {
             if (!c.isPut()) return w.destino_;
             w.destino_ = c.value();
             return Variant();
         }},
        {u"Mapa", Access::ReadWrite, 0, 0,
         [](W& w, Call& c) {
             if (!c.isPut()) return Variant(w.mapa_);
             w.mapa_ = c.value().toObject();
             return Variant();
         }},
        {u"Visible", Access::ReadWrite, 0, 0,
         [](W& w, Call& c) {
             if (!c.isPut()) return Variant(w.loaded_ && IsWindowVisible(w.hwnd()) != FALSE);
             if (c.value().toBool())
                 w.show(contract::kModeless);
             else
                 ShowWindow(w.hwnd(), SW_HIDE);
             return Variant();
         }},
        // Show [mode[, owner]]
        {u"Show", Access::Read, 0, 2,
         [](W& w, Call& c) {
             const bool given = c.has(0) && !c.arg(0).isMissing();
             w.show(given ? c.arg(0).toInteger() : contract::kModeless);
             return Variant();
         }},
        {u"Unload", Access::Read, 0, 0,
         [](W& w, Call&) {
             w.unload();
             return Variant();
         }},
        {u"Hide", Access::Read, 0, 0,
         [](W& w, Call&) {
             ShowWindow(w.hwnd(), SW_HIDE);
             return Variant();
         }},
        {u"Refresh", Access::Read, 0, 0,
         [](W& w, Call&) {
             RedrawWindow(w.hwnd(), nullptr, nullptr,
                          RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
             return Variant();
         }},
        {u"hWnd", Access::Read, 0, 0, [](W& w, Call&) { return handleOf(w.hwnd()); }},
        {u"ScaleWidth", Access::Read, 0, 0,
         [](W& w, Call&) { return Variant(w.clientSize().right * w.tpp_); }},
        {u"ScaleHeight", Access::Read, 0, 0,
         [](W& w, Call&) { return Variant(w.clientSize().bottom * w.tpp_); }},
    };
    return table;
}

Variant ParameterWindow::size(double& twips, const Call& c) {
    if (!c.isPut()) return Variant(twips);
    twips = c.value().toDouble();
    SetWindowPos(hwnd(), nullptr, 0, 0, pixels(width_, tpp_), pixels(height_, tpp_),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return Variant();
}

RECT ParameterWindow::clientSize() const {
    RECT r;
    GetClientRect(hwnd(), &r);
    return r;
}

Variant ParameterWindow::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    if (auto designed =
            windows::designedMember(arrays_, controls_, key(member), member, kind, args))
        return *designed;
    return TableObject::invoke(member, kind, args);
}

}  // namespace

ObjectRef makeParameterWindow() {
    return ObjectRef(std::make_shared<ParameterWindow>());
}

}  // namespace vantrel::substitutes::com
