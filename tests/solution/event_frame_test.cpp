#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "automation/runtime_error.h"
#include "solution/event_frame.h"
#include "solution/fakes.h"

using namespace vantrel::testing;
using vantrel::automation::RuntimeError;
using vantrel::automation::Text;
using vantrel::automation::TextView;
using vantrel::solution::runInFrame;

namespace {

class ThrowingDialogs : public vantrel::interfaces::Dialogs {
public:
    int messageBox(TextView, int, const std::optional<Text>&) override {
        throw std::runtime_error("no screen");
    }
};

TEST(EventFrame, BodyWithoutErrorShowsNothing) {
    RecordingDialogs d;
    int ran = 0;
    EXPECT_TRUE(runInFrame(d, u"App_OnEntrar", [&] { ++ran; }));
    EXPECT_EQ(ran, 1);
    EXPECT_TRUE(d.boxes.empty());
}

TEST(EventFrame, ErrorsBecomeOneExclamationBoxTitledWithTheEvent) {
    struct Case {
        std::function<void()> body;
        std::string text;
    } cases[] = {
        {[] { throw RuntimeError(5, u"x", u"Falhou"); }, "Erro Falhou"},
        {[] { throw std::bad_alloc(); },
         "Erro " + utf8(vantrel::automation::standardDescription(7))},
        {[] { throw 42; }, ""},
    };
    for (const Case& c : cases) {
        RecordingDialogs d;
        EXPECT_FALSE(runInFrame(d, u"Vendas_OnGravar", c.body));
        ASSERT_EQ(d.boxes.size(), 1u);
        EXPECT_EQ(d.boxes[0].style, 48);
        EXPECT_EQ(d.boxes[0].title, Text(u"Vendas_OnGravar"));
        if (!c.text.empty()) {
            EXPECT_EQ(utf8(d.boxes[0].text), c.text);
        }
        EXPECT_EQ(d.boxes[0].text.substr(0, 5), u"Erro ");
    }
}

TEST(EventFrame, AFailingMessageBoxIsSwallowed) {
    ThrowingDialogs d;
    EXPECT_FALSE(runInFrame(d, u"App_OnSair", [] { throw RuntimeError(5); }));
}

}  // namespace
