// The controls' contract as the caller's code meets it on the window held in memory: the
// members a kind lacks, the indexes a list refuses, and what a list or drop-down reads back.
#include <gtest/gtest.h>

#include "automation/datetime.h"
#include "windows/window_model.h"

namespace vantrel::substitutes::windows {

using automation::CallKind;
using automation::ObjectRef;
using automation::Text;
using automation::Variant;

namespace {

struct ControlCase {
    const char* name;
    const char16_t* control;  // element 0 of this array, two entries added when it is a list
    const char16_t* member;
    CallKind kind;
    std::vector<Variant> args;
    std::int32_t error;  // 0: the call answers `result`
    Variant result;
};

class ControlContractTest : public ::testing::TestWithParam<ControlCase> {};

TEST_P(ControlContractTest, AnswersOrRaises) {
    const ControlCase& c = GetParam();
    auto window = makeParameterWindow(automation::makeDate(2026, 7, 14));
    auto element = window->array(c.control)->item(0);
    ObjectRef control(element);
    if (isList(element->kind())) {
        control.call(u"AddItem", Text(u"A"));
        control.call(u"AddItem", Text(u"B"));
        control.put(u"ListIndex", std::int32_t{1});
    }
    std::vector<automation::Argument> args;
    for (const Variant& v : c.args) args.push_back(automation::Argument{v});
    try {
        const Variant got = control.get()->invoke(c.member, c.kind, args);
        EXPECT_EQ(c.error, 0);
        if (c.kind == CallKind::Get) {
            EXPECT_EQ(got.toText(), c.result.toText());
        }
    } catch (const automation::RuntimeError& e) {
        EXPECT_EQ(e.number(), c.error);
    }
}

const Variant kNone;
INSTANTIATE_TEST_SUITE_P(
    Controls, ControlContractTest,
    ::testing::Values(
        ControlCase{"TextBoxHasNoCaption", u"txtCampo", u"Caption", CallKind::Get, {}, 438, kNone},
        ControlCase{
            "LabelHasNoText", u"lblCampo", u"text", CallKind::Put, {Variant(u"x")}, 438, kNone},
        ControlCase{"ButtonTakesNoEntries",
                    u"Lista",
                    u"AddItem",
                    CallKind::Method,
                    {Variant(u"x")},
                    438,
                    kNone},
        ControlCase{
            "DropDownReadsItsEntry", u"Combo", u"Text", CallKind::Get, {}, 0, Variant(u"B")},
        ControlCase{"ListReadsTheCurrentEntry",
                    u"EscolhaMultipla",
                    u"LIST",
                    CallKind::Get,
                    {},
                    0,
                    Variant(u"B")},
        ControlCase{"EntryPastTheEndReadsEmpty",
                    u"Combo",
                    u"List",
                    CallKind::Get,
                    {Variant(std::int32_t{2})},
                    0,
                    Variant(u"")},
        ControlCase{"ListIndexPastTheEnd",
                    u"Combo",
                    u"ListIndex",
                    CallKind::Put,
                    {Variant(std::int32_t{2})},
                    380,
                    kNone},
        ControlCase{"SelectedPastTheEnd",
                    u"EscolhaMultipla",
                    u"Selected",
                    CallKind::Get,
                    {Variant(std::int32_t{-1})},
                    380,
                    kNone},
        ControlCase{"SelectedWithoutAnIndexCannotBeSet",
                    u"EscolhaMultipla",
                    u"Selected",
                    CallKind::Put,
                    {Variant(true)},
                    438,
                    kNone},
        ControlCase{"DateFieldsAnswerTheirDay",
                    u"dtCampo",
                    u"Day",
                    CallKind::Get,
                    {},
                    0,
                    Variant(std::int32_t{14})},
        ControlCase{"TooManyPlaces",
                    u"txtCampo",
                    u"Move",
                    CallKind::Method,
                    {Variant(1.0), Variant(2.0), Variant(3.0), Variant(4.0), Variant(5.0)},
                    450,
                    kNone}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vantrel::substitutes::windows
