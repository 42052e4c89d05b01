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

#include "automation/object.h"
#include "interfaces/report_windows.h"

namespace vantrel::substitutes::windows {

using automation::Argument;
using automation::CallKind;
using automation::ObjectRef;
using automation::Text;
using automation::TextView;
using automation::Variant;

enum class ControlKind { Label, CheckBox, TextBox, DateField, List, ComboBox, Frame, Button };

// Property name -> value, names as written.
using Design = std::vector<std::pair<Text, Variant>>;

class ModelControl : public automation::Object {
public:
    ModelControl(ControlKind kind, const Design& design);
    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) override;

    ControlKind kind() const { return kind_; }
    // A property as last written; Empty when it never was.
    Variant property(TextView name) const;
    void set(TextView name, Variant value);
    double number(TextView name) const { return property(name).toDouble(); }
    bool flag(TextView name) const { return property(name).toBool(); }

    const std::vector<Text>& items() const { return items_; }
    bool selected(std::size_t index) const { return index < selected_.size() && selected_[index]; }
    void select(std::size_t index, bool on);
    // What Text reads: the chosen entry of a list, the typed text otherwise.
    Text text() const;
    int timesBroughtToFront() const { return zOrders_; }

    // A new element loaded from this one: the same properties, hidden, no entries.
    std::shared_ptr<ModelControl> loadedCopy() const;

private:
    ControlKind kind_;
    std::map<Text, Variant> properties_;  // lower-case names
    std::vector<Text> items_;
    std::vector<bool> selected_;
    int zOrders_ = 0;
};

class ModelControlArray : public automation::Object {
public:
    explicit ModelControlArray(std::shared_ptr<ModelControl> designed);
    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) override;

    // Element `index`; error 340 when it is not loaded.
    std::shared_ptr<ModelControl> item(std::int16_t index) const;
    // Nothing when not loaded.
    std::shared_ptr<ModelControl> find(std::int16_t index) const;
    // Load array(index); error 360 when it is loaded already.
    std::shared_ptr<ModelControl> load(std::int16_t index);
    const std::map<std::int16_t, std::shared_ptr<ModelControl>>& elements() const {
        return elements_;
    }

private:
    std::map<std::int16_t, std::shared_ptr<ModelControl>> elements_;
};

class ModelWindow : public automation::Object {
public:
    explicit ModelWindow(const Design& design);
    Variant invoke(TextView member, CallKind kind, std::span<Argument> args) override;

    void addArray(const Text& name, ControlKind kind, const Design& design);
    void addControl(const Text& name, ControlKind kind, const Design& design);
    std::shared_ptr<ModelControlArray> array(TextView name) const;
    std::shared_ptr<ModelControl> control(TextView name) const;
    Variant property(TextView name) const;
    void set(TextView name, Variant value);

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
    std::map<Text, std::shared_ptr<ModelControlArray>> arrays_;
    std::map<Text, std::shared_ptr<ModelControl>> controls_;
    std::map<Text, Variant> properties_;
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
    Text caption;
    Text kind;  // "caixa", "data", "lista", "escolha", "texto"
    Text value;
    bool enabled = true;
    std::vector<Text> offered;  // the entries of a list or drop-down
};
std::vector<ShownRow> shownRows(const ModelWindow& window);

}  // namespace vantrel::substitutes::windows
