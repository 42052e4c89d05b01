// The caller's report windows, reached by member name: the parameter window with its control
// arrays (one element per prompt row) and the controls in them. The member names the report
// engine uses on windows live here and nowhere else.
#pragma once

#include <cstdint>

#include "automation/object.h"
#include "automation/variant.h"

namespace vantrel::interfaces::windows {

using automation::ObjectRef;
using automation::TextView;
using automation::Variant;

// One control: a check box, a text box, a date field, a list or a drop-down list. Each
// answers only the members of its kind; a member it lacks raises error 438.
class Control {
public:
    explicit Control(ObjectRef o) : o_(std::move(o)) {}
    const ObjectRef& ref() const { return o_; }

    Variant Value() const { return o_.get(u"Value"); }
    automation::Text Text() const { return o_.get(u"Text").toText(); }
    // Date fields.
    std::int32_t Year() const { return o_.get(u"Year").toLong(); }
    std::int32_t Month() const { return o_.get(u"Month").toLong(); }
    std::int32_t Day() const { return o_.get(u"Day").toLong(); }
    // Lists.
    std::int32_t ListCount() const { return o_.get(u"ListCount").toLong(); }
    bool Selected(std::int32_t index) const { return o_.get(u"Selected", index).toBool(); }
    void ListIndex(std::int32_t index) const { o_.put(u"ListIndex", index); }

private:
    ObjectRef o_;
};

// The parameter window: element r of each control array belongs to prompt row r.
class ParameterWindow {
public:
    explicit ParameterWindow(ObjectRef o) : o_(std::move(o)) {}
    const ObjectRef& ref() const { return o_; }

    Control chkCampo(std::int16_t row) const { return element(u"chkCampo", row); }
    Control txtCampo(std::int16_t row) const { return element(u"txtCampo", row); }
    Control dtCampo(std::int16_t row) const { return element(u"dtCampo", row); }
    Control EscolhaMultipla(std::int16_t row) const { return element(u"EscolhaMultipla", row); }
    Control Combo(std::int16_t row) const { return element(u"Combo", row); }

private:
    Control element(TextView array, std::int16_t row) const {
        return Control(o_.object(array, row));
    }
    ObjectRef o_;
};

}  // namespace vantrel::interfaces::windows
