#include "windows/window_model.h"

#include <set>

#include "automation/datetime.h"
#include "automation/runtime_error.h"

namespace vantrel::substitutes::windows {

using automation::isMember;
using automation::isPut;
using automation::RuntimeError;
namespace contract = interfaces::windows;

namespace {

constexpr std::int32_t kInvalidPropertyValue = 380;

bool isList(ControlKind kind) {
    return kind == ControlKind::List || kind == ControlKind::ComboBox;
}

Text key(TextView name) {
    return automation::lcase(name);
}

std::int16_t indexOf(const Variant& v) {
    return v.toInteger();
}

}  // namespace

// ---- controls ----------------------------------------------------------------------------

ModelControl::ModelControl(ControlKind kind, const Design& design) : kind_(kind) {
    for (const auto& [name, value] : design) properties_[key(name)] = value;
    if (isList(kind_) && property(u"ListIndex").isEmpty()) set(u"ListIndex", std::int32_t{-1});
}

Variant ModelControl::property(TextView name) const {
    auto it = properties_.find(key(name));
    return it == properties_.end() ? Variant() : it->second;
}

void ModelControl::set(TextView name, Variant value) {
    const Text k = key(name);
    if (kind_ == ControlKind::DateField && k == u"value") {
        // A date field reads what it is given by the locale's date rules.
        value = Variant::date(value.toDate());
    }
    if (isList(kind_) && k == u"listindex") {
        const std::int32_t index = value.toLong();
        if (index < -1 || index >= static_cast<std::int32_t>(items_.size())) {
            throw RuntimeError(kInvalidPropertyValue, Text(), u"Invalid property value");
        }
        value = Variant(index);
    }
    properties_[k] = std::move(value);
}

void ModelControl::select(std::size_t index, bool on) {
    if (index >= items_.size()) {
        throw RuntimeError(kInvalidPropertyValue, Text(), u"Invalid property value");
    }
    selected_.resize(items_.size());
    selected_[index] = on;
}

Text ModelControl::text() const {
    if (isList(kind_)) {
        const std::int32_t index = property(u"ListIndex").toLong();
        if (index >= 0 && index < static_cast<std::int32_t>(items_.size())) return items_[index];
    }
    return property(u"Text").toText();
}

std::shared_ptr<ModelControl> ModelControl::loadedCopy() const {
    auto copy = std::make_shared<ModelControl>(kind_, Design{});
    copy->properties_ = properties_;
    copy->properties_[u"visible"] = Variant(false);
    if (isList(kind_)) copy->properties_[u"listindex"] = Variant(std::int32_t{-1});
    return copy;
}

Variant ModelControl::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    const Text name = key(member);
    if (isPut(kind)) {
        Variant& value = args.back().value;
        if (name == u"selected" && args.size() == 2) {
            select(static_cast<std::size_t>(args[0].value.toLong()), value.toBool());
        } else if (name == u"text" && kind_ == ControlKind::ComboBox) {
            set(u"ListIndex", std::int32_t{-1});
            set(u"Text", value);
        } else {
            set(name, value);
        }
        return Variant();
    }
    if (name == u"move") {
        static const char16_t* const places[] = {u"Left", u"Top", u"Width", u"Height"};
        for (std::size_t i = 0; i < args.size() && i < 4; ++i) {
            if (!args[i].value.isMissing()) set(places[i], args[i].value);
        }
        return Variant();
    }
    if (name == u"zorder") {
        ++zOrders_;
        return Variant();
    }
    if (name == u"refresh" || name == u"setfocus") return Variant();
    if (isList(kind_)) {
        if (name == u"additem") {
            items_.push_back(automation::argumentAt(args, 0).toText());
            selected_.resize(items_.size());
            return Variant();
        }
        if (name == u"clear") {
            items_.clear();
            selected_.clear();
            set(u"ListIndex", std::int32_t{-1});
            return Variant();
        }
        if (name == u"listcount") return Variant(static_cast<std::int32_t>(items_.size()));
        if (name == u"selected") {
            const auto index = automation::argumentAt(args, 0).toLong();
            if (index < 0 || index >= static_cast<std::int32_t>(items_.size())) {
                throw RuntimeError(kInvalidPropertyValue, Text(), u"Invalid property value");
            }
            return Variant(selected(static_cast<std::size_t>(index)));
        }
        if (name == u"text") return Variant(text());
        if (name == u"list") {
            const auto index = automation::argumentAt(args, 0).toLong();
            if (index < 0 || index >= static_cast<std::int32_t>(items_.size()))
                return Variant(Text());
            return Variant(items_[index]);
        }
    }
    if (kind_ == ControlKind::DateField &&
        (name == u"year" || name == u"month" || name == u"day")) {
        const auto parts = automation::splitDate(property(u"Value").toDate());
        const int part = name == u"year" ? parts.year : name == u"month" ? parts.month : parts.day;
        return Variant(static_cast<std::int32_t>(part));
    }
    auto it = properties_.find(name);
    if (it == properties_.end()) automation::unknownMember(member);
    return it->second;
}

// ---- control arrays ----------------------------------------------------------------------

ModelControlArray::ModelControlArray(std::shared_ptr<ModelControl> designed) {
    elements_[0] = std::move(designed);
}

std::shared_ptr<ModelControl> ModelControlArray::find(std::int16_t index) const {
    auto it = elements_.find(index);
    return it == elements_.end() ? nullptr : it->second;
}

std::shared_ptr<ModelControl> ModelControlArray::item(std::int16_t index) const {
    auto element = find(index);
    if (!element) {
        throw RuntimeError(contract::kElementDoesNotExist, Text(),
                           contract::kElementDoesNotExistText);
    }
    return element;
}

std::shared_ptr<ModelControl> ModelControlArray::load(std::int16_t index) {
    if (find(index))
        throw RuntimeError(contract::kAlreadyLoaded, Text(), contract::kAlreadyLoadedText);
    auto element = elements_.at(0)->loadedCopy();
    elements_[index] = element;
    return element;
}

Variant ModelControlArray::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    if (isPut(kind)) automation::unknownMember(member);
    if (isMember(member, u"Item") || member.empty()) {
        return Variant(ObjectRef(item(indexOf(automation::argumentAt(args, 0)))));
    }
    if (isMember(member, u"Load")) {
        load(indexOf(automation::argumentAt(args, 0)));
        return Variant();
    }
    if (isMember(member, u"Count")) return Variant(static_cast<std::int32_t>(elements_.size()));
    if (isMember(member, u"UBound"))
        return Variant(static_cast<std::int32_t>(elements_.rbegin()->first));
    if (isMember(member, u"LBound"))
        return Variant(static_cast<std::int32_t>(elements_.begin()->first));
    automation::unknownMember(member);
}

// ---- windows -----------------------------------------------------------------------------

ModelWindow::ModelWindow(const Design& design) {
    for (const auto& [name, value] : design) properties_[key(name)] = value;
}

void ModelWindow::addArray(const Text& name, ControlKind kind, const Design& design) {
    arrays_[key(name)] =
        std::make_shared<ModelControlArray>(std::make_shared<ModelControl>(kind, design));
}

void ModelWindow::addControl(const Text& name, ControlKind kind, const Design& design) {
    controls_[key(name)] = std::make_shared<ModelControl>(kind, design);
}

std::shared_ptr<ModelControlArray> ModelWindow::array(TextView name) const {
    auto it = arrays_.find(key(name));
    return it == arrays_.end() ? nullptr : it->second;
}

std::shared_ptr<ModelControl> ModelWindow::control(TextView name) const {
    auto it = controls_.find(key(name));
    return it == controls_.end() ? nullptr : it->second;
}

Variant ModelWindow::property(TextView name) const {
    auto it = properties_.find(key(name));
    return it == properties_.end() ? Variant() : it->second;
}

void ModelWindow::set(TextView name, Variant value) {
    properties_[key(name)] = std::move(value);
}

void ModelWindow::unload() {
    loaded_ = false;
    properties_[u"visible"] = Variant(false);
}

Variant ModelWindow::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    const Text name = key(member);
    if (auto a = array(name)) {
        if (isPut(kind)) automation::unknownMember(member);
        if (args.empty()) return Variant(ObjectRef(a));
        return Variant(ObjectRef(a->item(indexOf(args[0].value))));
    }
    if (auto c = control(name)) {
        if (isPut(kind)) automation::unknownMember(member);
        return Variant(ObjectRef(c));
    }
    if (isPut(kind)) {
        set(name, args.back().value);
        return Variant();
    }
    if (name == u"show") {
        loaded_ = true;
        set(u"Visible", Variant(true));
        ++timesShown;
        lastMode = args.empty() || args[0].value.isMissing() ? contract::kModeless
                                                             : args[0].value.toInteger();
        if (onShow) onShow(*this, lastMode);
        return Variant();
    }
    if (name == u"unload") {
        unload();
        return Variant();
    }
    if (name == u"refresh") {
        ++timesRefreshed;
        return Variant();
    }
    if (name == u"visible") return Variant(visible());
    auto it = properties_.find(name);
    if (it == properties_.end()) automation::unknownMember(member);
    return it->second;
}

// ---- the designed parameter window --------------------------------------------------------

std::shared_ptr<ModelWindow> makeParameterWindow(double today) {
    using D = ParameterWindowDesign;
    auto w =
        std::make_shared<ModelWindow>(Design{{u"Caption", Variant(u"Pedidos")},
                                             {u"Height", Variant(3600.0)},
                                             {u"Width", Variant(6600.0)},
                                             {u"Visible", Variant(false)},
                                             {u"Destino", Variant(contract::kDestinoPorEscolher)}});
    auto place = [](double left, double width, double height) {
        return Design{{u"Left", Variant(left)},
                      {u"Top", Variant(0.0)},
                      {u"Width", Variant(width)},
                      {u"Height", Variant(height)},
                      {u"Visible", Variant(false)},
                      {u"Enabled", Variant(true)},
                      {u"TabIndex", Variant(std::int16_t{0})}};
    };
    auto with = [](Design d, const Text& name, const Variant& value) {
        d.emplace_back(name, value);
        return d;
    };
    w->addArray(u"lblCampo", ControlKind::Label,
                with(place(120, 2400, D::kLabelHeight), u"Caption", Variant(Text())));
    w->addArray(u"chkCampo", ControlKind::CheckBox,
                with(with(place(120, 5280, D::kLabelHeight), u"Caption", Variant(Text())), u"Value",
                     Variant(contract::kUnchecked)));
    w->addArray(u"txtCampo", ControlKind::TextBox,
                with(place(2640, 2760, 315), u"Text", Variant(Text())));
    w->addArray(u"dtCampo", ControlKind::DateField,
                with(place(2640, 1560, 315), u"Value", Variant::date(today)));
    w->addArray(u"EscolhaMultipla", ControlKind::List, place(2640, 2760, D::kListHeight));
    w->addArray(u"Combo", ControlKind::ComboBox,
                with(place(2640, 2760, 315), u"Text", Variant(Text())));
    w->addArray(u"Lista", ControlKind::Button,
                with(place(5460, 315, 315), u"Tag", Variant(Text())));
    auto frame = [&](double left, double top, double width, double height) {
        Design d = place(left, width, height);
        d[1].second = Variant(top);
        return d;
    };
    w->addControl(u"Frame", ControlKind::Frame, frame(120, D::kFrameTop, 5880, 1200));
    w->addControl(u"FrameBotoes", ControlKind::Frame,
                  frame(120, 1440, 5880, D::kButtonFrameHeight));
    w->addControl(u"FrameDestino", ControlKind::Frame,
                  frame(6240, 120, 3000, D::kDestinationFrameHeight));
    w->addControl(u"NumeroVias", ControlKind::TextBox,
                  with(place(1800, 600, 315), u"Text", Variant(u"1")));
    for (const char16_t* button :
         {u"botao_ecran", u"Botao_Impressora", u"botao_conf", u"Botao_Sair", u"Botao_pdf"}) {
        w->addControl(button, ControlKind::Button, place(0, 1000, 375));
    }
    return w;
}

std::vector<ShownRow> shownRows(const ModelWindow& window) {
    std::set<std::int16_t> rows;
    for (const char16_t* name :
         {u"chkCampo", u"dtCampo", u"EscolhaMultipla", u"Combo", u"txtCampo"}) {
        if (auto a = window.array(name)) {
            for (const auto& [index, element] : a->elements()) {
                if (index > 0) rows.insert(index);
            }
        }
    }
    std::vector<ShownRow> out;
    for (std::int16_t r : rows) {
        ShownRow row;
        row.row = r;
        auto label = window.array(u"lblCampo")->find(r);
        if (label) row.caption = label->property(u"Caption").toText();
        std::shared_ptr<ModelControl> input;
        if ((input = window.array(u"chkCampo")->find(r))) {
            row.kind = u"caixa";
            row.caption = input->property(u"Caption").toText();
            row.value = input->property(u"Value").toLong() == contract::kChecked
                            ? Text(u"sim")
                            : automation::T("não");
        } else if ((input = window.array(u"dtCampo")->find(r))) {
            row.kind = u"data";
            row.value = automation::formatDate(input->property(u"Value").toDate());
        } else if ((input = window.array(u"EscolhaMultipla")->find(r))) {
            row.kind = u"lista";
            row.offered = input->items();
            for (std::size_t k = 0; k < input->items().size(); ++k) {
                if (!input->selected(k)) continue;
                row.value += (row.value.empty() ? u"" : u", ") + input->items()[k];
            }
        } else if ((input = window.array(u"Combo")->find(r))) {
            row.kind = u"escolha";
            row.offered = input->items();
            row.value = input->text();
        } else if ((input = window.array(u"txtCampo")->find(r))) {
            row.kind = u"texto";
            row.value = input->text();
        }
        if (input) row.enabled = input->flag(u"Enabled");
        out.push_back(std::move(row));
    }
    return out;
}

}  // namespace vantrel::substitutes::windows
