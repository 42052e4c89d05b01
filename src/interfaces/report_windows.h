// The caller's report windows, reached by member name: the parameter window with its control
// arrays (one element per prompt row), its frames and buttons, and the viewer window
// frmDocCrystal. The member names the report engine uses on windows live here and nowhere
// else; every window (the tests' fakes, the terminal's, the Win32 windows) answers them.
//
// Control arrays: the window's member named after the array, given an index, is that element
// (error 340 when it was never loaded); without an index it is the array itself, which
// answers Item(index), Load(index) (error 360 when the element is already loaded), Count and
// UBound. A loaded element starts as a copy of the designed element 0, hidden.
//
// Windows: Caption, Height, Visible, Show(mode) with mode 0 modeless and 1 modal, Unload,
// Refresh. A window that was unloaded (or closed by the user) reads Visible as false.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "automation/object.h"
#include "automation/variant.h"

namespace vantrel::interfaces::windows {

// The errors of control arrays.
inline constexpr std::int32_t kElementDoesNotExist = 340;
inline constexpr std::int32_t kAlreadyLoaded = 360;
inline constexpr char16_t kElementDoesNotExistText[] = u"Control array element does not exist";
inline constexpr char16_t kAlreadyLoadedText[] = u"Object already loaded";

// Show's modes.
inline constexpr std::int16_t kModeless = 0;
inline constexpr std::int16_t kModal = 1;

// Check box values.
inline constexpr std::int16_t kUnchecked = 0;
inline constexpr std::int16_t kChecked = 1;

// The parameter window's Destino while the user has not chosen.
inline constexpr std::int16_t kDestinoPorEscolher = -100;

// One control: a label, a check box, a text box, a date field, a list, a drop-down list, a
// frame or a button. Each answers only the members of its kind; a member it lacks raises
// error 438.
class Control {
public:
    explicit Control(automation::ObjectRef o) : o_(std::move(o)) {}
    const automation::ObjectRef& ref() const { return o_; }

    // Position and size, in twips.
    double Top() const { return o_.get(u"Top").toDouble(); }
    void Top(double v) const { o_.put(u"Top", v); }
    double Left() const { return o_.get(u"Left").toDouble(); }
    double Width() const { return o_.get(u"Width").toDouble(); }
    double Height() const { return o_.get(u"Height").toDouble(); }
    void Height(double v) const { o_.put(u"Height", v); }
    void Move(double left, double top) const { o_.call(u"Move", left, top); }
    void Move(double left, double top, double width, double height) const {
        o_.call(u"Move", left, top, width, height);
    }
    bool Visible() const { return o_.get(u"Visible").toBool(); }
    void Visible(bool v) const { o_.put(u"Visible", v); }
    bool Enabled() const { return o_.get(u"Enabled").toBool(); }
    void Enabled(bool v) const { o_.put(u"Enabled", v); }
    // Brings the control in front of its siblings.
    void ZOrder() const { o_.call(u"ZOrder", std::int16_t{0}); }
    std::int16_t TabIndex() const { return o_.get(u"TabIndex").toInteger(); }
    void TabIndex(std::int32_t v) const { o_.put(u"TabIndex", static_cast<std::int16_t>(v)); }

    automation::Text Caption() const { return o_.get(u"Caption").toText(); }
    void Caption(const automation::Text& v) const { o_.put(u"Caption", v); }
    automation::Variant Value() const { return o_.get(u"Value"); }
    void Value(const automation::Variant& v) const { o_.put(u"Value", v); }
    automation::Text Text() const { return o_.get(u"Text").toText(); }
    void Text(const automation::Text& v) const { o_.put(u"Text", v); }
    automation::Text Tag() const { return o_.get(u"Tag").toText(); }
    void Tag(const automation::Text& v) const { o_.put(u"Tag", v); }

    // Date fields.
    std::int32_t Year() const { return o_.get(u"Year").toLong(); }
    std::int32_t Month() const { return o_.get(u"Month").toLong(); }
    std::int32_t Day() const { return o_.get(u"Day").toLong(); }

    // Lists and drop-down lists.
    void Clear() const { o_.call(u"Clear"); }
    void AddItem(const automation::Text& item) const { o_.call(u"AddItem", item); }
    std::int32_t ListCount() const { return o_.get(u"ListCount").toLong(); }
    bool Selected(std::int32_t index) const { return o_.get(u"Selected", index).toBool(); }
    std::int32_t ListIndex() const { return o_.get(u"ListIndex").toLong(); }
    void ListIndex(std::int32_t index) const { o_.put(u"ListIndex", index); }

private:
    automation::ObjectRef o_;
};

// A control array of a window.
class ControlArray {
public:
    explicit ControlArray(automation::ObjectRef o) : o_(std::move(o)) {}
    Control operator()(std::int16_t index) const { return Control(o_.object(u"Item", index)); }
    // Load array(index): a new element, a hidden copy of element 0.
    void Load(std::int16_t index) const { o_.call(u"Load", index); }

private:
    automation::ObjectRef o_;
};

// The parameter window: element r of each control array belongs to prompt row r. The same
// window is the destination chooser (FrameDestino, NumeroVias, Destino).
class ParameterWindow {
public:
    explicit ParameterWindow(automation::ObjectRef o) : o_(std::move(o)) {}
    const automation::ObjectRef& ref() const { return o_; }

    // Elements, as the parameter assignment reads them.
    Control chkCampo(std::int16_t row) const { return element(u"chkCampo", row); }
    Control txtCampo(std::int16_t row) const { return element(u"txtCampo", row); }
    Control dtCampo(std::int16_t row) const { return element(u"dtCampo", row); }
    Control EscolhaMultipla(std::int16_t row) const { return element(u"EscolhaMultipla", row); }
    Control Combo(std::int16_t row) const { return element(u"Combo", row); }
    Control lblCampo(std::int16_t row) const { return element(u"lblCampo", row); }
    Control Lista(std::int16_t row) const { return element(u"Lista", row); }

    // The arrays themselves, to load elements into.
    ControlArray array(automation::TextView name) const { return ControlArray(o_.object(name)); }

    Control Frame() const { return control(u"Frame"); }
    Control FrameBotoes() const { return control(u"FrameBotoes"); }
    Control FrameDestino() const { return control(u"FrameDestino"); }
    Control NumeroVias() const { return control(u"NumeroVias"); }
    Control control(automation::TextView name) const { return Control(o_.object(name)); }

    automation::Text Caption() const { return o_.get(u"Caption").toText(); }
    void Caption(const automation::Text& v) const { o_.put(u"Caption", v); }
    double Height() const { return o_.get(u"Height").toDouble(); }
    void Height(double v) const { o_.put(u"Height", v); }
    bool Visible() const { return o_.get(u"Visible").toBool(); }
    std::int16_t Destino() const { return o_.get(u"Destino").toInteger(); }
    // Set Mapa = the report object, so the window's code can call back.
    void Mapa(const automation::ObjectRef& report) const { o_.putRef(u"Mapa", report); }
    void Show(std::int16_t mode) const { o_.call(u"Show", mode); }
    void Unload() const { o_.call(u"Unload"); }
    void Refresh() const { o_.call(u"Refresh"); }

private:
    Control element(automation::TextView array, std::int16_t row) const {
        return Control(o_.object(array, row));
    }
    automation::ObjectRef o_;
};

// The viewer window frmDocCrystal, as the report object sees it.
class ViewerWindow {
public:
    explicit ViewerWindow(automation::ObjectRef o) : o_(std::move(o)) {}
    const automation::ObjectRef& ref() const { return o_; }

    automation::ObjectRef Visu_10() const { return o_.object(u"Visu_10"); }
    automation::ObjectRef Visu_85() const { return o_.object(u"Visu_85"); }
    // Set Eu = the report object whose report the window shows.
    void Eu(const automation::ObjectRef& report) const { o_.putRef(u"Eu", report); }
    void Visible(bool v) const { o_.put(u"Visible", v); }
    automation::Text Caption() const { return o_.get(u"Caption").toText(); }
    void Caption(const automation::Text& v) const { o_.put(u"Caption", v); }
    void Icon(const automation::Variant& v) const { o_.put(u"Icon", v); }
    void BorderStyle(std::int16_t v) const { o_.put(u"BorderStyle", v); }
    void Show(std::int16_t mode) const { o_.call(u"Show", mode); }
    void Unload() const { o_.call(u"Unload"); }

private:
    automation::ObjectRef o_;
};

// What only a real window system can do for the viewer window: host a viewer control, tell
// the client area, show the window (modally or not) and take it down. The terminal, the tests
// and the Win32 layer each provide one.
class ViewerWindowPort {
public:
    // The print-button event of a viewer control: the handler sets `printItself` to false
    // when the control must not print by itself.
    using PrintButtonHandler = std::function<void(bool& printItself)>;

    virtual ~ViewerWindowPort() = default;
    // Creates the viewer control of class `progId` inside the window and connects its
    // print-button event to `onPrintButton`.
    virtual automation::ObjectRef createControl(automation::TextView progId,
                                                PrintButtonHandler onPrintButton) = 0;
    // The client area in twips (ScaleWidth, ScaleHeight).
    virtual std::pair<double, double> clientSize() = 0;
    // Shows the window with `caption`; a modal show returns once the user has closed it.
    virtual void show(const automation::Text& caption, bool modal) = 0;
    virtual void hide() = 0;
    // Takes the window down with its controls; a createControl after it opens a new window
    // (an unloaded form loads again when it is next used).
    virtual void close() = 0;
};

}  // namespace vantrel::interfaces::windows
