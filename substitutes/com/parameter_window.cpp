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
#include "automation/runtime_error.h"
#include "interfaces/report_windows.h"
#include "platform/win32/com_module.h"
#include "platform/win32/screen_units.h"

namespace vantrel::substitutes::com {

using automation::Argument;
using automation::CallKind;
using automation::isPut;
using automation::ObjectRef;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;
namespace contract = interfaces::windows;
using platform::win32::pixels;
using platform::win32::twipsPerPixel;

namespace {

constexpr std::int32_t kInvalidPropertyValue = 380;
constexpr wchar_t kWindowClass[] = L"QuorilVantrelParameterWindow";

enum class Kind { Label, CheckBox, TextBox, DateField, List, ComboBox, Frame, Button, Option };

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

void invalidValue() {
    throw RuntimeError(kInvalidPropertyValue, Text(), u"Invalid property value");
}

// Where a control sits and how it starts, in twips.
struct Place {
    double left, top, width, height;
    bool visible = false;
};

class ParameterWindow;

class Control final : public automation::Object {
public:
    Control(ParameterWindow& window, Kind kind, Text container, const Place& place, int order);
    ~Control() override;
    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) override;

    std::shared_ptr<Control> loadedCopy(int order) const;
    // Puts the real control where its twips say, shown when it and its frame are visible.
    void apply();
    Kind kind() const { return kind_; }
    HWND hwnd() const { return hwnd_; }
    const Text& container() const { return container_; }
    std::int16_t tabIndex() const { return tabIndex_; }
    int order() const { return order_; }
    bool visible() const { return visible_; }
    double left() const { return place_.left; }
    double top() const { return place_.top; }

private:
    void create();
    Variant get(const Text& name, std::span<Argument> args);
    void put(const Text& name, std::span<Argument> args);
    Variant dateValue() const;
    void listIndex(std::int32_t index);
    std::int32_t listIndex() const;
    std::int32_t count() const;

    ParameterWindow& window_;
    Kind kind_;
    Text container_;
    Place place_;
    int order_;
    HWND hwnd_ = nullptr;
    bool visible_;
    bool enabled_ = true;
    std::int16_t tabIndex_ = 0;
    Text tag_;
    int zOrders_ = 0;
};

class ControlArray final : public automation::Object {
public:
    ControlArray(ParameterWindow& window, std::shared_ptr<Control> designed) : window_(window) {
        elements_[0] = std::move(designed);
    }
    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) override;
    std::shared_ptr<Control> item(std::int16_t index) const {
        auto it = elements_.find(index);
        if (it == elements_.end()) {
            throw RuntimeError(contract::kElementDoesNotExist, Text(),
                               contract::kElementDoesNotExistText);
        }
        return it->second;
    }
    const std::map<std::int16_t, std::shared_ptr<Control>>& elements() const { return elements_; }

private:
    ParameterWindow& window_;
    std::map<std::int16_t, std::shared_ptr<Control>> elements_;
};

class ParameterWindow final : public automation::Object {
public:
    ParameterWindow();
    ~ParameterWindow() override;
    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) override;

    HWND hwnd() const { return hwnd_; }
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
    LRESULT handle(UINT message, WPARAM w, LPARAM l);

private:
    std::vector<std::shared_ptr<Control>> all() const;
    void addArray(const Text& name, Kind kind, const Text& container, const Place& place);
    void addControl(const Text& name, Kind kind, const Text& container, const Place& place,
                    const Text& caption = Text());
    void clicked(HWND button);
    void runButton(const Text& name);
    void show(std::int16_t mode);
    void unload();

    HWND hwnd_ = nullptr;
    double tpp_;
    int order_ = 0;
    std::map<Text, std::shared_ptr<ControlArray>> arrays_;
    std::map<Text, std::shared_ptr<Control>> controls_;
    std::map<Text, Text> captions_;  // lower-case name -> designed caption
    double width_ = 6600;
    double height_ = 3600;
    Variant destino_{contract::kDestinoPorEscolher};
    ObjectRef mapa_;
    bool loaded_ = true;
    bool busy_ = false;
};

// ---- controls ----------------------------------------------------------------------------

Control::Control(ParameterWindow& window, Kind kind, Text container, const Place& place, int order)
    : window_(window),
      kind_(kind),
      container_(std::move(container)),
      place_(place),
      order_(order),
      visible_(place.visible) {
    create();
}

Control::~Control() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void Control::create() {
    const wchar_t* cls = L"BUTTON";
    DWORD style = WS_CHILD;
    DWORD exStyle = 0;
    switch (kind_) {
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
    hwnd_ = CreateWindowExW(exStyle, cls, L"", style, 0, 0, 1, 1, window_.hwnd(), nullptr,
                            platform::win32::thisModule(), nullptr);
    if (!hwnd_) throw RuntimeError(automation::errc::OutOfMemory);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    apply();
}

void Control::apply() {
    const double tpp = window_.tpp();
    const auto [x0, y0] = window_.origin(container_);
    int height = pixels(place_.height, tpp);
    // A drop-down's own height includes its open list.
    if (kind_ == Kind::ComboBox) height += 150;
    MoveWindow(hwnd_, pixels(x0 + place_.left, tpp), pixels(y0 + place_.top, tpp),
               pixels(place_.width, tpp), height, TRUE);
    const bool shown = visible_ && window_.containerVisible(container_) && !window_.covered(*this);
    ShowWindow(hwnd_, shown ? SW_SHOWNA : SW_HIDE);
    if (kind_ == Kind::Frame) window_.frameChanged(*this);
}

std::shared_ptr<Control> Control::loadedCopy(int order) const {
    Place place = place_;
    auto copy = std::make_shared<Control>(window_, kind_, container_, place, order);
    copy->visible_ = false;
    copy->enabled_ = enabled_;
    copy->tabIndex_ = tabIndex_;
    copy->tag_ = tag_;
    EnableWindow(copy->hwnd_, enabled_);
    if (kind_ != Kind::List && kind_ != Kind::ComboBox)
        SetWindowTextW(copy->hwnd_, wide(windowText(hwnd_)));
    if (kind_ == Kind::CheckBox)
        SendMessageW(copy->hwnd_, BM_SETCHECK, SendMessageW(hwnd_, BM_GETCHECK, 0, 0), 0);
    if (kind_ == Kind::DateField) {
        SYSTEMTIME st;
        if (SendMessageW(hwnd_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) == GDT_VALID)
            SendMessageW(copy->hwnd_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    }
    copy->apply();
    return copy;
}

std::int32_t Control::count() const {
    const UINT msg = kind_ == Kind::List ? LB_GETCOUNT : CB_GETCOUNT;
    return static_cast<std::int32_t>(SendMessageW(hwnd_, msg, 0, 0));
}

std::int32_t Control::listIndex() const {
    if (kind_ == Kind::List) {
        // The focused entry of a multi-select list, -1 while the list has none.
        if (count() == 0) return -1;
        return static_cast<std::int32_t>(SendMessageW(hwnd_, LB_GETCARETINDEX, 0, 0));
    }
    return static_cast<std::int32_t>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
}

void Control::listIndex(std::int32_t index) {
    if (index < -1 || index >= count()) invalidValue();
    if (kind_ == Kind::List) {
        if (index >= 0) SendMessageW(hwnd_, LB_SETCARETINDEX, index, FALSE);
    } else {
        SendMessageW(hwnd_, CB_SETCURSEL, index, 0);
    }
}

Variant Control::dateValue() const {
    SYSTEMTIME st;
    if (SendMessageW(hwnd_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
        return Variant();
    return Variant::date(automation::makeDate(st.wYear, st.wMonth, st.wDay));
}

Variant Control::get(const Text& name, std::span<Argument> args) {
    if (name == u"left") return Variant(place_.left);
    if (name == u"top") return Variant(place_.top);
    if (name == u"width") return Variant(place_.width);
    if (name == u"height") return Variant(place_.height);
    if (name == u"visible") return Variant(visible_);
    if (name == u"enabled") return Variant(enabled_);
    if (name == u"tabindex") return Variant(tabIndex_);
    if (name == u"tag") return Variant(tag_);
    if (name == u"hwnd")
        return Variant(static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(hwnd_)));
    const bool list = kind_ == Kind::List || kind_ == Kind::ComboBox;
    if (name == u"caption" && !list && kind_ != Kind::TextBox && kind_ != Kind::DateField)
        return Variant(windowText(hwnd_));
    if (name == u"value") {
        if (kind_ == Kind::CheckBox || kind_ == Kind::Option) {
            const bool on = SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
            if (kind_ == Kind::Option) return Variant(on);
            return Variant(on ? contract::kChecked : contract::kUnchecked);
        }
        if (kind_ == Kind::DateField) return dateValue();
    }
    if (kind_ == Kind::DateField && (name == u"year" || name == u"month" || name == u"day")) {
        const auto parts = automation::splitDate(dateValue().toDate());
        const int part = name == u"year" ? parts.year : name == u"month" ? parts.month : parts.day;
        return Variant(static_cast<std::int32_t>(part));
    }
    if (name == u"text") {
        if (kind_ == Kind::TextBox || kind_ == Kind::ComboBox) return Variant(windowText(hwnd_));
        if (kind_ == Kind::List) {
            const std::int32_t index = listIndex();
            if (index < 0) return Variant(Text());
            return get(u"list", std::span<Argument>());
        }
    }
    if (list) {
        if (name == u"listcount") return Variant(count());
        if (name == u"listindex") return Variant(listIndex());
        if (name == u"selected" || name == u"list") {
            const std::int32_t index = args.empty() ? listIndex() : args[0].value.toLong();
            if (index < 0 || index >= count()) {
                if (name == u"list") return Variant(Text());
                invalidValue();
            }
            if (name == u"selected") {
                if (kind_ == Kind::ComboBox) return Variant(index == listIndex());
                return Variant(SendMessageW(hwnd_, LB_GETSEL, index, 0) > 0);
            }
            const UINT lenMsg = kind_ == Kind::List ? LB_GETTEXTLEN : CB_GETLBTEXTLEN;
            const UINT textMsg = kind_ == Kind::List ? LB_GETTEXT : CB_GETLBTEXT;
            std::wstring s(static_cast<std::size_t>(SendMessageW(hwnd_, lenMsg, index, 0)) + 1,
                           L'\0');
            const auto n = SendMessageW(hwnd_, textMsg, index, reinterpret_cast<LPARAM>(s.data()));
            s.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
            return Variant(Text(s.begin(), s.end()));
        }
    }
    automation::unknownMember(name);
}

void Control::put(const Text& name, std::span<Argument> args) {
    const Variant& value = args.back().value;
    auto moveTo = [&](double& place) {
        place = value.toDouble();
        apply();
    };
    if (name == u"left") return moveTo(place_.left);
    if (name == u"top") return moveTo(place_.top);
    if (name == u"width") return moveTo(place_.width);
    if (name == u"height") return moveTo(place_.height);
    if (name == u"visible") {
        visible_ = value.toBool();
        return apply();
    }
    if (name == u"enabled") {
        enabled_ = value.toBool();
        EnableWindow(hwnd_, enabled_);
        return;
    }
    if (name == u"tabindex") {
        tabIndex_ = value.toInteger();
        return window_.reorder();
    }
    if (name == u"tag") {
        tag_ = value.toText();
        return;
    }
    const bool list = kind_ == Kind::List || kind_ == Kind::ComboBox;
    if ((name == u"caption" && !list) || (name == u"text" && kind_ != Kind::List)) {
        SetWindowTextW(hwnd_, wide(value.toText()));
        return;
    }
    if (name == u"value" && kind_ == Kind::CheckBox) {
        const bool on = value.toLong() == contract::kChecked;
        SendMessageW(hwnd_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
        return;
    }
    if (name == u"value" && kind_ == Kind::DateField) {
        // A date field reads what it is given by the locale's date rules.
        const auto parts = automation::splitDate(value.toDate());
        SYSTEMTIME st = {};
        st.wYear = static_cast<WORD>(parts.year);
        st.wMonth = static_cast<WORD>(parts.month);
        st.wDay = static_cast<WORD>(parts.day);
        SendMessageW(hwnd_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
        return;
    }
    if (list && name == u"listindex") return listIndex(value.toLong());
    if (kind_ == Kind::List && name == u"selected" && args.size() == 2) {
        const std::int32_t index = args[0].value.toLong();
        if (index < 0 || index >= count()) invalidValue();
        SendMessageW(hwnd_, LB_SETSEL, value.toBool() ? TRUE : FALSE, index);
        return;
    }
    automation::unknownMember(name);
}

Variant Control::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    const Text name = key(member);
    if (isPut(kind)) {
        if (args.empty()) throw RuntimeError(automation::errc::ArgumentNotOptional);
        put(name, args);
        return Variant();
    }
    if (name == u"move") {
        double* places[] = {&place_.left, &place_.top, &place_.width, &place_.height};
        for (std::size_t i = 0; i < args.size() && i < 4; ++i) {
            if (!args[i].value.isMissing()) *places[i] = args[i].value.toDouble();
        }
        apply();
        return Variant();
    }
    if (name == u"zorder") {
        // Rows never overlap; the order among siblings stays the tab order.
        ++zOrders_;
        return Variant();
    }
    if (name == u"refresh") {
        InvalidateRect(hwnd_, nullptr, TRUE);
        return Variant();
    }
    if (name == u"setfocus") {
        SetFocus(hwnd_);
        return Variant();
    }
    if (kind_ == Kind::List || kind_ == Kind::ComboBox) {
        if (name == u"additem") {
            const Text item = automation::argumentAt(args, 0).toText();
            SendMessageW(hwnd_, kind_ == Kind::List ? LB_ADDSTRING : CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(wide(item)));
            return Variant();
        }
        if (name == u"clear") {
            SendMessageW(hwnd_, kind_ == Kind::List ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
            return Variant();
        }
    }
    return get(name, args);
}

// ---- control arrays ----------------------------------------------------------------------

Variant ControlArray::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    if (isPut(kind)) automation::unknownMember(member);
    if (member.empty() || automation::isMember(member, u"Item"))
        return Variant(ObjectRef(item(automation::argumentAt(args, 0).toInteger())));
    if (automation::isMember(member, u"Load")) {
        const std::int16_t index = automation::argumentAt(args, 0).toInteger();
        if (elements_.count(index))
            throw RuntimeError(contract::kAlreadyLoaded, Text(), contract::kAlreadyLoadedText);
        elements_[index] = elements_.at(0)->loadedCopy(window_.nextOrder());
        window_.reorder();
        return Variant();
    }
    if (automation::isMember(member, u"Count"))
        return Variant(static_cast<std::int32_t>(elements_.size()));
    if (automation::isMember(member, u"UBound"))
        return Variant(static_cast<std::int32_t>(elements_.rbegin()->first));
    if (automation::isMember(member, u"LBound"))
        return Variant(static_cast<std::int32_t>(elements_.begin()->first));
    automation::unknownMember(member);
}

// ---- the window ---------------------------------------------------------------------------

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<ParameterWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->hwnd()) return self->handle(message, w, l);
    return DefWindowProcW(hwnd, message, w, l);
}

void registerClass() {
    static bool done = [] {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        return platform::win32::registerWindowClass(kWindowClass, &windowProc, COLOR_BTNFACE);
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
    hwnd_ =
        CreateWindowExW(0, kWindowClass, L"Pedidos", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                        CW_USEDEFAULT, CW_USEDEFAULT, pixels(width_, tpp_), pixels(height_, tpp_),
                        nullptr, nullptr, platform::win32::thisModule(), this);
    if (!hwnd_) throw RuntimeError(automation::errc::OutOfMemory);
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
    arrays_.clear();
    controls_.clear();
    HWND h = hwnd_;
    hwnd_ = nullptr;
    if (IsWindow(h)) DestroyWindow(h);
}

void ParameterWindow::addArray(const Text& name, Kind kind, const Text& container,
                               const Place& place) {
    arrays_[key(name)] = std::make_shared<ControlArray>(
        *this, std::make_shared<Control>(*this, kind, container, place, nextOrder()));
}

void ParameterWindow::addControl(const Text& name, Kind kind, const Text& container,
                                 const Place& place, const Text& caption) {
    auto c = std::make_shared<Control>(*this, kind, container, place, nextOrder());
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
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    if (mode != contract::kModal) return;
    MSG msg;
    while (loaded_ && IsWindowVisible(hwnd_) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(hwnd_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void ParameterWindow::unload() {
    // The controls stay, so what the user typed can still be read; the window is gone.
    loaded_ = false;
    ShowWindow(hwnd_, SW_HIDE);
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
                   windowText(hwnd_));
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
        MessageBoxW(hwnd_, wide(e.description()), L"Pedidos", MB_OK | MB_ICONEXCLAMATION);
    } catch (const std::exception&) {
        MessageBoxW(hwnd_, L"Erro inesperado", L"Pedidos", MB_OK | MB_ICONEXCLAMATION);
    }
    if (outer) busy_ = false;
}

LRESULT ParameterWindow::handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(w) == BN_CLICKED && l) clicked(reinterpret_cast<HWND>(l));
            return 0;
        case WM_CLOSE:
            unload();
            return 0;
        default:
            return DefWindowProcW(hwnd_, message, w, l);
    }
}

Variant ParameterWindow::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    const Text name = key(member);
    if (auto a = arrays_.find(name); a != arrays_.end()) {
        if (isPut(kind)) automation::unknownMember(member);
        if (args.empty()) return Variant(ObjectRef(a->second));
        return Variant(ObjectRef(a->second->item(args[0].value.toInteger())));
    }
    if (auto c = controls_.find(name); c != controls_.end()) {
        if (isPut(kind)) automation::unknownMember(member);
        return Variant(ObjectRef(c->second));
    }
    if (isPut(kind)) {
        if (args.empty()) throw RuntimeError(automation::errc::ArgumentNotOptional);
        const Variant& value = args.back().value;
        if (name == u"caption") {
            SetWindowTextW(hwnd_, wide(value.toText()));
        } else if (name == u"height" || name == u"width") {
            (name == u"height" ? height_ : width_) = value.toDouble();
            SetWindowPos(hwnd_, nullptr, 0, 0, pixels(width_, tpp_), pixels(height_, tpp_),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        } else if (name == u"destino") {
            destino_ = value;
        } else if (name == u"mapa") {
            mapa_ = value.toObject();
        } else if (name == u"visible") {
            if (value.toBool())
                show(contract::kModeless);
            else
                ShowWindow(hwnd_, SW_HIDE);
        } else {
            automation::unknownMember(member);
        }
        return Variant();
    }
    if (name == u"show") {
        const bool given = !args.empty() && !args[0].value.isMissing();
        show(given ? args[0].value.toInteger() : contract::kModeless);
        return Variant();
    }
    if (name == u"unload") {
        unload();
        return Variant();
    }
    if (name == u"hide") {
        ShowWindow(hwnd_, SW_HIDE);
        return Variant();
    }
    if (name == u"refresh") {
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return Variant();
    }
    if (name == u"caption") return Variant(windowText(hwnd_));
    if (name == u"height") return Variant(height_);
    if (name == u"width") return Variant(width_);
    if (name == u"visible") return Variant(loaded_ && IsWindowVisible(hwnd_) != FALSE);
    if (name == u"destino") return destino_;
    if (name == u"mapa") return Variant(mapa_);
    if (name == u"hwnd")
        return Variant(static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(hwnd_)));
    if (name == u"scalewidth" || name == u"scaleheight") {
        RECT r;
        GetClientRect(hwnd_, &r);
        return Variant((name == u"scalewidth" ? r.right : r.bottom) * tpp_);
    }
    automation::unknownMember(member);
}

}  // namespace

ObjectRef makeParameterWindow() {
    return ObjectRef(std::make_shared<ParameterWindow>());
}

}  // namespace vantrel::substitutes::com
