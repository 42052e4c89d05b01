#include "windows/control_model.h"

#include "automation/datetime.h"

namespace vantrel::substitutes::windows {

using automation::Access;
using automation::Call;
using automation::kAnyCount;
using automation::Text;
using automation::TextView;
using automation::Variant;
namespace contract = interfaces::windows;

void invalidPropertyValue() {
    throw automation::RuntimeError(automation::errc::InvalidPropertyValue);
}

ControlModel::ControlModel(ControlKind kind, const Design& design) : kind_(kind) {
    for (const auto& [name, value] : design) properties_[automation::lcase(name)] = value;
}

Variant ControlModel::property(TextView name) const {
    auto it = properties_.find(automation::lcase(name));
    return it == properties_.end() ? Variant() : it->second;
}

void ControlModel::keep(TextView name, Variant value) {
    properties_[automation::lcase(name)] = std::move(value);
}

Variant ControlModel::handle() const {
    automation::unknownMember(u"hWnd");
}

// The members' functions, with the access to ControlModel's faces they need.
struct ControlMembers {
    using M = automation::Members<ControlModel>::Member;

    // Left, Top, Width and Height, in twips; the face follows.
    template <const char16_t* Name>
    static Variant place(ControlModel& s, Call& c) {
        if (!c.isPut()) return s.property(Name);
        s.keep(Name, Variant(c.value().toDouble()));
        s.placed();
        return Variant();
    }

    // A member the control's kind lacks: error 438.
    static void onlyFor(bool answers) {
        if (!answers) throw automation::RuntimeError(automation::errc::NotSupported);
    }
    static bool isList(const ControlModel& s) { return windows::isList(s.kind_); }
    static bool hasCaption(const ControlModel& s) {
        return !isList(s) && s.kind_ != ControlKind::TextBox && s.kind_ != ControlKind::DateField;
    }
    // An entry's index as Selected and List take it: the given one, or ListIndex's.
    static std::int32_t entryIndex(const ControlModel& s, const Call& c) {
        return c.has(0) ? c.arg(0).toLong() : s.current();
    }

    static Variant text(ControlModel& s, Call& c) {
        const bool typed = s.kind_ == ControlKind::TextBox || s.kind_ == ControlKind::ComboBox;
        if (c.isPut()) {
            onlyFor(typed);
            s.type(c.value().toText());
            return Variant();
        }
        if (typed) return Variant(s.typed());
        onlyFor(s.kind_ == ControlKind::List);
        const std::int32_t index = s.current();
        return Variant(index >= 0 && index < s.count() ? s.entry(index) : Text());
    }

    static Variant value(ControlModel& s, Call& c) {
        switch (s.kind_) {
            case ControlKind::CheckBox:
                if (c.isPut()) {
                    s.check(c.value().toLong() == contract::kChecked);
                    return Variant();
                }
                return Variant(s.checked() ? contract::kChecked : contract::kUnchecked);
            case ControlKind::Option:
                onlyFor(!c.isPut());
                return Variant(s.checked());
            case ControlKind::DateField:
                if (c.isPut()) {
                    // A date field reads what it is given by the locale's date rules.
                    s.date(c.value());
                    return Variant();
                }
                return s.date();
            default:
                throw automation::RuntimeError(automation::errc::NotSupported);
        }
    }

    template <int Part>
    static Variant datePart(ControlModel& s, Call&) {
        onlyFor(s.kind_ == ControlKind::DateField);
        const auto parts = automation::splitDate(s.date().toDate());
        return Variant(static_cast<std::int32_t>(Part == 0   ? parts.year
                                                 : Part == 1 ? parts.month
                                                             : parts.day));
    }

    static Variant listIndex(ControlModel& s, Call& c) {
        onlyFor(isList(s));
        if (!c.isPut()) return Variant(s.current());
        const std::int32_t index = c.value().toLong();
        if (index < -1 || index >= s.count()) invalidPropertyValue();
        s.current(index);
        return Variant();
    }

    static Variant selected(ControlModel& s, Call& c) {
        onlyFor(isList(s));
        if (c.isPut()) onlyFor(s.kind_ == ControlKind::List && c.has(0));
        const std::int32_t index = entryIndex(s, c);
        if (index < 0 || index >= s.count()) invalidPropertyValue();
        if (c.isPut()) {
            s.choose(index, c.value().toBool());
            return Variant();
        }
        if (s.kind_ == ControlKind::ComboBox) return Variant(index == s.current());
        return Variant(s.chosen(index));
    }

    static Variant list(ControlModel& s, Call& c) {
        onlyFor(isList(s));
        const std::int32_t index = entryIndex(s, c);
        if (index < 0 || index >= s.count()) return Variant(Text());
        return Variant(s.entry(index));
    }
};

namespace {
constexpr char16_t kLeft[] = u"Left";
constexpr char16_t kTop[] = u"Top";
constexpr char16_t kWidth[] = u"Width";
constexpr char16_t kHeight[] = u"Height";
}  // namespace

const automation::Members<ControlModel>& ControlModel::members() {
    using S = ControlModel;
    using X = ControlMembers;
    static const automation::Members<ControlModel> table{
        {u"Left", Access::ReadWrite, 0, 0, &X::place<kLeft>},
        {u"Top", Access::ReadWrite, 0, 0, &X::place<kTop>},
        {u"Width", Access::ReadWrite, 0, 0, &X::place<kWidth>},
        {u"Height", Access::ReadWrite, 0, 0, &X::place<kHeight>},
        {u"Move", Access::Read, 0, 4,
         [](S& s, Call& c) {
             static const char16_t* const places[] = {kLeft, kTop, kWidth, kHeight};
             for (std::size_t i = 0; i < c.count(); ++i) {
                 if (!c.arg(i).isMissing()) s.keep(places[i], Variant(c.arg(i).toDouble()));
             }
             s.placed();
             return Variant();
         }},
        {u"Visible", Access::ReadWrite, 0, 0,
         [](S& s, Call& c) {
             if (!c.isPut()) return s.property(u"Visible");
             s.keep(u"Visible", Variant(c.value().toBool()));
             s.placed();
             return Variant();
         }},
        {u"Enabled", Access::ReadWrite, 0, 0,
         [](S& s, Call& c) {
             if (!c.isPut()) return s.property(u"Enabled");
             s.keep(u"Enabled", Variant(c.value().toBool()));
             s.enabledChanged();
             return Variant();
         }},
        {u"TabIndex", Access::ReadWrite, 0, 0,
         [](S& s, Call& c) {
             if (!c.isPut()) return s.property(u"TabIndex");
             s.keep(u"TabIndex", Variant(c.value().toInteger()));
             s.tabIndexChanged();
             return Variant();
         }},
        {u"Tag", Access::ReadWrite, 0, 0,
         [](S& s, Call& c) {
             if (!c.isPut()) return s.property(u"Tag");
             s.keep(u"Tag", Variant(c.value().toText()));
             return Variant();
         }},
        {u"ZOrder", Access::Read, 0, 1,
         [](S& s, Call&) {
             // Rows never overlap; the order among siblings stays the tab order.
             ++s.zOrders_;
             return Variant();
         }},
        {u"Refresh", Access::Read, 0, 0,
         [](S& s, Call&) {
             s.refresh();
             return Variant();
         }},
        {u"SetFocus", Access::Read, 0, 0,
         [](S& s, Call&) {
             s.focus();
             return Variant();
         }},
        {u"hWnd", Access::Read, 0, 0, [](S& s, Call&) { return s.handle(); }},
        {u"Caption", Access::ReadWrite, 0, 0,
         [](S& s, Call& c) {
             X::onlyFor(X::hasCaption(s));
             if (!c.isPut()) return Variant(s.caption());
             s.caption(c.value().toText());
             return Variant();
         }},
        {u"Text", Access::ReadWrite, 0, 0, &X::text},
        {u"Value", Access::ReadWrite, 0, 0, &X::value},
        {u"Year", Access::Read, 0, 0, &X::datePart<0>},
        {u"Month", Access::Read, 0, 0, &X::datePart<1>},
        {u"Day", Access::Read, 0, 0, &X::datePart<2>},
        // AddItem item[, index]: entries go at the end.
        {u"AddItem", Access::Read, 1, 2,
         [](S& s, Call& c) {
             X::onlyFor(X::isList(s));
             s.add(c.arg(0).toText());
             return Variant();
         }},
        {u"Clear", Access::Read, 0, 0,
         [](S& s, Call&) {
             X::onlyFor(X::isList(s));
             s.clear();
             return Variant();
         }},
        {u"ListCount", Access::Read, 0, 0,
         [](S& s, Call&) {
             X::onlyFor(X::isList(s));
             return Variant(s.count());
         }},
        {u"ListIndex", Access::ReadWrite, 0, 0, &X::listIndex},
        {u"Selected", Access::ReadWrite, 0, 1, &X::selected},
        {u"List", Access::Read, 0, 1, &X::list},
    };
    return table;
}

}  // namespace vantrel::substitutes::windows
