#include "windows/window_model.h"

#include <set>

#include "automation/datetime.h"
#include "automation/runtime_error.h"

namespace vantrel::substitutes::windows {

using automation::Access;
using automation::Argument;
using automation::Call;
using automation::CallKind;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;
namespace contract = interfaces::windows;

namespace {

Text key(TextView name) {
    return automation::lcase(name);
}

}  // namespace

// ---- controls ----------------------------------------------------------------------------

ModelControl::ModelControl(ControlKind kind, const Design& design) : ControlModel(kind, design) {
    if (isList(kind) && property(u"ListIndex").isEmpty()) keep(u"ListIndex", std::int32_t{-1});
}

void ModelControl::set(TextView name, Variant value) {
    const Text k = key(name);
    if (kind() == ControlKind::DateField && k == u"value") {
        // A date field reads what it is given by the locale's date rules.
        value = Variant::date(value.toDate());
    }
    if (isList(kind()) && k == u"listindex") {
        const std::int32_t index = value.toLong();
        if (index < -1 || index >= count()) invalidPropertyValue();
        value = Variant(index);
    }
    keep(k, std::move(value));
}

void ModelControl::select(std::size_t index, bool on) {
    if (index >= items_.size()) invalidPropertyValue();
    selected_.resize(items_.size());
    selected_[index] = on;
}

Text ModelControl::text() const {
    if (isList(kind())) {
        const std::int32_t index = current();
        if (index >= 0 && index < count()) return items_[index];
    }
    return property(u"Text").toText();
}

void ModelControl::type(const Text& text) {
    // Typing in a drop-down leaves no entry chosen.
    if (kind() == ControlKind::ComboBox) current(-1);
    keep(u"Text", Variant(text));
}

bool ModelControl::checked() const {
    return property(u"Value").toLong() == contract::kChecked;
}

void ModelControl::check(bool on) {
    keep(u"Value", Variant(on ? contract::kChecked : contract::kUnchecked));
}

void ModelControl::add(const Text& entry) {
    items_.push_back(entry);
    selected_.resize(items_.size());
}

void ModelControl::clear() {
    items_.clear();
    selected_.clear();
    current(-1);
}

std::shared_ptr<ModelControl> ModelControl::loadedCopy() const {
    auto copy = std::make_shared<ModelControl>(kind(), Design{});
    copy->properties_ = properties_;
    copy->keep(u"Visible", Variant(false));
    if (isList(kind())) copy->current(-1);
    return copy;
}

Variant ModelControl::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    const std::size_t index = members().find(member);
    if (index != automation::MemberTable::npos) return invokeAt(index, kind, args);
    if (automation::isPut(kind)) {
        if (args.empty()) throw RuntimeError(automation::errc::ArgumentNotOptional);
        set(member, args.back().value);
        return Variant();
    }
    auto it = properties_.find(key(member));
    if (it == properties_.end()) automation::unknownMember(member);
    return it->second;
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

const automation::Members<ModelWindow>& ModelWindow::members() {
    using W = ModelWindow;
    static const automation::Members<W> table{
        // Show [mode[, owner]]
        {u"Show", Access::Read, 0, 2,
         [](W& w, Call& c) {
             w.loaded_ = true;
             w.set(u"Visible", Variant(true));
             ++w.timesShown;
             w.lastMode =
                 !c.has(0) || c.arg(0).isMissing() ? contract::kModeless : c.arg(0).toInteger();
             if (w.onShow) w.onShow(w, w.lastMode);
             return Variant();
         }},
        {u"Unload", Access::Read, 0, 0,
         [](W& w, Call&) {
             w.unload();
             return Variant();
         }},
        {u"Refresh", Access::Read, 0, 0,
         [](W& w, Call&) {
             ++w.timesRefreshed;
             return Variant();
         }},
        {u"Visible", Access::ReadWrite, 0, 0,
         [](W& w, Call& c) {
             if (!c.isPut()) return Variant(w.visible());
             w.set(u"Visible", c.value());
             return Variant();
         }},
    };
    return table;
}

Variant ModelWindow::invoke(TextView member, CallKind kind, std::span<Argument> args) {
    const Text name = key(member);
    if (auto designed = designedMember(arrays_, controls_, name, member, kind, args))
        return *designed;
    const std::size_t index = members().find(member);
    if (index != automation::MemberTable::npos) return invokeAt(index, kind, args);
    if (automation::isPut(kind)) {
        if (args.empty()) throw RuntimeError(automation::errc::ArgumentNotOptional);
        set(name, args.back().value);
        return Variant();
    }
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
