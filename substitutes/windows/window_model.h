// Windows held in memory: controls that keep their properties, control arrays with Load and
// the errors of control arrays, and a window holding both. They answer the report windows'
// members (interfaces/report_windows.h) and draw nothing; the terminal face of `vantrel
// report open` draws them, and the tests use them as the caller's windows.
//
// makeParameterWindow() builds the caller's parameter window as designed: element 0 of each
// control array, the row and button frames, the five buttons and the destination frame.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "automation/members.h"
#include "interfaces/report_windows.h"
#include "windows/control_model.h"

namespace vantrel::substitutes::windows {

class ModelControl final : public ControlModel {
public:
    ModelControl(ControlKind kind, const Design& design);
    // The contract's members first; any other name is a property kept as written.
    automation::Variant invoke(automation::TextView member, automation::CallKind kind,
                               std::span<automation::Argument> args) override;

    // Stores a property as the caller's code would set it: a date field's Value is a date and a
    // list's ListIndex names an entry (error 380 otherwise).
    void set(automation::TextView name, automation::Variant value);

    const std::vector<automation::Text>& items() const { return items_; }
    bool selected(std::size_t index) const { return index < selected_.size() && selected_[index]; }
    void select(std::size_t index, bool on);
    // What Text reads: the chosen entry of a list, the typed text otherwise.
    automation::Text text() const;

    // A new element loaded from this one: the same properties, hidden, no entries.
    std::shared_ptr<ModelControl> loadedCopy() const;

private:
    automation::Text caption() const override { return property(u"Caption").toText(); }
    void caption(const automation::Text& text) override {
        keep(u"Caption", automation::Variant(text));
    }
    automation::Text typed() const override { return text(); }
    void type(const automation::Text& text) override;
    bool checked() const override;
    void check(bool on) override;
    automation::Variant date() const override { return property(u"Value"); }
    void date(const automation::Variant& value) override { set(u"Value", value); }
    std::int32_t count() const override { return static_cast<std::int32_t>(items_.size()); }
    automation::Text entry(std::int32_t index) const override { return items_[index]; }
    void add(const automation::Text& entry) override;
    void clear() override;
    std::int32_t current() const override { return property(u"ListIndex").toLong(); }
    void current(std::int32_t index) override { keep(u"ListIndex", automation::Variant(index)); }
    bool chosen(std::int32_t index) const override { return selected(index); }
    void choose(std::int32_t index, bool on) override { select(index, on); }

    std::vector<automation::Text> items_;
    std::vector<bool> selected_;
};

class ModelControlArray final : public ControlArrayModel<ModelControl> {
public:
    explicit ModelControlArray(std::shared_ptr<ModelControl> designed)
        : ControlArrayModel(std::move(designed)) {}

private:
    std::shared_ptr<ModelControl> copyOfDesigned() const override {
        return designed().loadedCopy();
    }
};

class ModelWindow final : public automation::TableObject<ModelWindow> {
public:
    explicit ModelWindow(const Design& design);
    static const automation::Members<ModelWindow>& members();
    // The window's own members, then its arrays and controls by name; any other name is a
    // property kept as written.
    automation::Variant invoke(automation::TextView member, automation::CallKind kind,
                               std::span<automation::Argument> args) override;

    void addArray(const automation::Text& name, ControlKind kind, const Design& design);
    void addControl(const automation::Text& name, ControlKind kind, const Design& design);
    std::shared_ptr<ModelControlArray> array(automation::TextView name) const;
    std::shared_ptr<ModelControl> control(automation::TextView name) const;
    automation::Variant property(automation::TextView name) const;
    void set(automation::TextView name, automation::Variant value);

    bool loaded() const { return loaded_; }
    bool visible() const { return loaded_ && property(u"Visible").toBool(); }
    // Unload: the window is gone (Visible reads false from then on).
    void unload();

    // Called by Show, after the window became visible, with the mode.
    std::function<void(ModelWindow&, std::int16_t mode)> onShow;
    int timesShown = 0;
    std::int16_t lastMode = -1;
    int timesRefreshed = 0;

private:
    std::map<automation::Text, std::shared_ptr<ModelControlArray>> arrays_;
    std::map<automation::Text, std::shared_ptr<ModelControl>> controls_;
    std::map<automation::Text, automation::Variant> properties_;
    bool loaded_ = true;
};

// The caller's parameter window as designed. `today` starts the date fields.
struct ParameterWindowDesign {
    static constexpr double kLabelHeight = 255;
    static constexpr double kListHeight = 315;  // EscolhaMultipla(0)
    static constexpr double kFrameTop = 120;
    static constexpr double kButtonFrameHeight = 735;
    static constexpr double kDestinationFrameHeight = 2280;
};
std::shared_ptr<ModelWindow> makeParameterWindow(double today);

// The rows as a person reads them, top to bottom: caption, kind word and start value.
struct ShownRow {
    std::int16_t row = 0;
    automation::Text caption;
    automation::Text kind;  // "caixa", "data", "lista", "escolha", "texto"
    automation::Text value;
    bool enabled = true;
    std::vector<automation::Text> offered;  // the entries of a list or drop-down
};
std::vector<ShownRow> shownRows(const ModelWindow& window);

}  // namespace vantrel::substitutes::windows
