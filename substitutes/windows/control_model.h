// The controls of the stand-ins' report windows, once for every face: which members each kind
// of control answers (interfaces/report_windows.h), what they check and what they keep. The
// window held in memory and the Win32 parameter window differ only in what a real window
// shows: the caption, the typed text, the check mark, the date and a list's entries come
// from the face; the positions, visibility, tab index and tag are kept here.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "automation/members.h"
#include "automation/runtime_error.h"
#include "interfaces/report_windows.h"

namespace vantrel::substitutes::windows {

enum class ControlKind {
    Label,
    CheckBox,
    TextBox,
    DateField,
    List,
    ComboBox,
    Frame,
    Button,
    Option
};

inline bool isList(ControlKind kind) {
    return kind == ControlKind::List || kind == ControlKind::ComboBox;
}

// Error 380, for an index or value a control does not take.
[[noreturn]] void invalidPropertyValue();

// Property name -> value, names as written.
using Design = std::vector<std::pair<automation::Text, automation::Variant>>;

class ControlModel : public automation::TableObject<ControlModel> {
public:
    static const automation::Members<ControlModel>& members();

    ControlKind kind() const { return kind_; }
    // A kept property as last written; Empty when it never was.
    automation::Variant property(automation::TextView name) const;
    double number(automation::TextView name) const { return property(name).toDouble(); }
    bool flag(automation::TextView name) const { return property(name).toBool(); }
    int timesBroughtToFront() const { return zOrders_; }

protected:
    ControlModel(ControlKind kind, const Design& design);
    // Stores without checks and without telling the face.
    void keep(automation::TextView name, automation::Variant value);
    std::map<automation::Text, automation::Variant> properties_;  // lower-case names

    // After Left, Top, Width, Height or Visible changed.
    virtual void placed() {}
    virtual void enabledChanged() {}
    virtual void tabIndexChanged() {}
    // hWnd; a control without a real window has none (error 438).
    virtual automation::Variant handle() const;
    virtual void refresh() {}
    virtual void focus() {}

    virtual automation::Text caption() const = 0;
    virtual void caption(const automation::Text& text) = 0;
    // What a text box or a drop-down's edit field shows.
    virtual automation::Text typed() const = 0;
    virtual void type(const automation::Text& text) = 0;
    virtual bool checked() const = 0;
    virtual void check(bool on) = 0;
    virtual automation::Variant date() const = 0;
    virtual void date(const automation::Variant& value) = 0;

    // A list's or drop-down's entries. `current` is the entry ListIndex names, -1 for none;
    // indexes given to the setters are in range.
    virtual std::int32_t count() const = 0;
    virtual automation::Text entry(std::int32_t index) const = 0;
    virtual void add(const automation::Text& entry) = 0;
    virtual void clear() = 0;
    virtual std::int32_t current() const = 0;
    virtual void current(std::int32_t index) = 0;
    virtual bool chosen(std::int32_t index) const = 0;
    virtual void choose(std::int32_t index, bool on) = 0;

private:
    friend struct ControlMembers;
    ControlKind kind_;
    int zOrders_ = 0;
};

// A control array: element 0 is designed and the others are loaded as copies of it.
template <class C>
class ControlArrayModel : public automation::TableObject<ControlArrayModel<C>> {
public:
    static const automation::Members<ControlArrayModel>& members();

    // Nothing when not loaded.
    std::shared_ptr<C> find(std::int16_t index) const {
        auto it = elements_.find(index);
        return it == elements_.end() ? nullptr : it->second;
    }
    // Element `index`; error 340 when it is not loaded.
    std::shared_ptr<C> item(std::int16_t index) const {
        auto element = find(index);
        if (!element) {
            throw automation::RuntimeError(interfaces::windows::kElementDoesNotExist,
                                           automation::Text(),
                                           interfaces::windows::kElementDoesNotExistText);
        }
        return element;
    }
    // Load array(index); error 360 when it is loaded already.
    std::shared_ptr<C> load(std::int16_t index) {
        if (find(index)) {
            throw automation::RuntimeError(interfaces::windows::kAlreadyLoaded, automation::Text(),
                                           interfaces::windows::kAlreadyLoadedText);
        }
        auto element = copyOfDesigned();
        elements_[index] = element;
        loaded();
        return element;
    }
    const std::map<std::int16_t, std::shared_ptr<C>>& elements() const { return elements_; }

protected:
    explicit ControlArrayModel(std::shared_ptr<C> designed) { elements_[0] = std::move(designed); }
    const C& designed() const { return *elements_.at(0); }
    // A new element: element 0's properties, hidden.
    virtual std::shared_ptr<C> copyOfDesigned() const = 0;
    virtual void loaded() {}

private:
    std::map<std::int16_t, std::shared_ptr<C>> elements_;
};

template <class C>
const automation::Members<ControlArrayModel<C>>& ControlArrayModel<C>::members() {
    using automation::Access;
    using automation::Call;
    using automation::Variant;
    using A = ControlArrayModel<C>;
    static const automation::Members<A> table{
        {
            {u"Item", Access::Read, 1, 1,
             [](A& a, Call& c) {
                 return Variant(automation::ObjectRef(a.item(c.arg(0).toInteger())));
             }},
            {u"Load", Access::Read, 1, 1,
             [](A& a, Call& c) {
                 a.load(c.arg(0).toInteger());
                 return Variant();
             }},
            {u"Count", Access::Read, 0, 0,
             [](A& a, Call&) { return Variant(static_cast<std::int32_t>(a.elements_.size())); }},
            {u"UBound", Access::Read, 0, 0,
             [](A& a, Call&) {
                 return Variant(static_cast<std::int32_t>(a.elements_.rbegin()->first));
             }},
            {u"LBound", Access::Read, 0, 0,
             [](A& a, Call&) {
                 return Variant(static_cast<std::int32_t>(a.elements_.begin()->first));
             }},
        },
        u"Item"};
    return table;
}

// A window's members made from its design: the member named after a control array is the
// array itself, or with an index its element; the one named after a control is the control.
// Neither can be assigned. Nothing when `name` (lower case) names neither.
template <class Arrays, class Controls>
std::optional<automation::Variant> designedMember(const Arrays& arrays, const Controls& controls,
                                                  const automation::Text& name,
                                                  automation::TextView member,
                                                  automation::CallKind kind,
                                                  std::span<automation::Argument> args) {
    const bool put = kind == automation::CallKind::Put || kind == automation::CallKind::PutRef;
    if (auto a = arrays.find(name); a != arrays.end()) {
        if (put) automation::unknownMember(member);
        if (args.empty()) return automation::Variant(automation::ObjectRef(a->second));
        return automation::Variant(
            automation::ObjectRef(a->second->item(args[0].value.toInteger())));
    }
    if (auto c = controls.find(name); c != controls.end()) {
        if (put) automation::unknownMember(member);
        return automation::Variant(automation::ObjectRef(c->second));
    }
    return std::nullopt;
}

}  // namespace vantrel::substitutes::windows
