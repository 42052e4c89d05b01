#include <gtest/gtest.h>

#include <sstream>

#include "platform/posix/terminal_dialogs.h"

using vantrel::automation::T;
using vantrel::platform::posix::TerminalDialogs;
namespace msgbox = vantrel::interfaces::msgbox;

namespace {

struct Terminal {
    explicit Terminal(bool keyboard, std::string typed = "")
        : in(std::move(typed)), dialogs(out, in, keyboard) {}
    std::ostringstream out;
    std::istringstream in;
    TerminalDialogs dialogs;
};

TEST(TerminalDialogs, PrintsTitleIconTextAndButtons) {
    Terminal t(false);
    t.dialogs.queueAnswer("yes");
    int answer =
        t.dialogs.messageBox(T("Pretende adicionar Taxa Energética?"), 292, T("Taxa Energética"));
    EXPECT_EQ(answer, msgbox::AnswerYes);
    EXPECT_EQ(t.out.str(),
              "\n+-- [Pergunta] Taxa Energética\n"
              "| Pretende adicionar Taxa Energética?\n"
              "+-- [Sim] [Não*]\n"
              "=> Sim (--answer)\n");
}

TEST(TerminalDialogs, IconWordsAndTitles) {
    struct Case {
        int style;
        const char* icon;
    };
    for (const Case& c : {Case{16, "[Erro crítico] "}, Case{32, "[Pergunta] "},
                          Case{48, "[Exclamação] "}, Case{64, "[Informação] "}, Case{0, ""}}) {
        Terminal t(false);
        t.dialogs.messageBox(u"x", c.style, std::nullopt);
        EXPECT_EQ(t.out.str().substr(0, t.out.str().find('\n', 1) + 1),
                  std::string("\n+-- ") + c.icon + "QuorilVantrel\n");
    }
    Terminal empty(false);
    empty.dialogs.messageBox(u"x", 0, u"");
    EXPECT_EQ(empty.out.str().substr(0, 6), "\n+-- \n") << "an empty title stays empty";
}

TEST(TerminalDialogs, TextLinesAreKeptApart) {
    Terminal t(false);
    t.dialogs.messageBox(
        T("Documento já inclui linha de Taxa Energética.\r\nDocumento não foi alterado!"), 48,
        T("Taxa Energética"));
    EXPECT_NE(
        t.out.str().find(
            "| Documento já inclui linha de Taxa Energética.\n| Documento não foi alterado!\n"),
        std::string::npos);
}

TEST(TerminalDialogs, WithoutAnswerOrKeyboardTheDefaultButtonAnswers) {
    struct Case {
        int style;
        int answer;
    };
    for (const Case& c : {Case{0, msgbox::AnswerOk}, Case{4 | 32, msgbox::AnswerYes},
                          Case{4 | 32 | 256, msgbox::AnswerNo}, Case{1 | 256, msgbox::AnswerCancel},
                          Case{3 | 512, msgbox::AnswerCancel}, Case{0 | 512, msgbox::AnswerOk}}) {
        Terminal t(false);
        TerminalDialogs::Box seen;
        t.dialogs.setObserver([&](const TerminalDialogs::Box& b) { seen = b; });
        EXPECT_EQ(t.dialogs.messageBox(u"?", c.style, u"t"), c.answer) << c.style;
        EXPECT_EQ(seen.source, TerminalDialogs::AnswerSource::DefaultButton);
        EXPECT_NE(t.out.str().find("botão por omissão"), std::string::npos);
    }
}

TEST(TerminalDialogs, QueuedAnswersAreUsedInOrder) {
    Terminal t(true, "n\n");  // the keyboard is not asked while the queue has answers
    EXPECT_TRUE(t.dialogs.queueAnswer("Sim"));
    EXPECT_TRUE(t.dialogs.queueAnswer("OK"));
    EXPECT_TRUE(t.dialogs.queueAnswer("NÃO"));
    EXPECT_FALSE(t.dialogs.queueAnswer("talvez"));
    EXPECT_EQ(t.dialogs.queuedAnswers(), 3u);
    EXPECT_EQ(t.dialogs.messageBox(u"1", 36, u"t"), msgbox::AnswerYes);
    EXPECT_EQ(t.dialogs.messageBox(u"2", 64, u"t"), msgbox::AnswerOk);
    EXPECT_EQ(t.dialogs.messageBox(u"3", 36, u"t"), msgbox::AnswerNo);
    EXPECT_EQ(t.dialogs.queuedAnswers(), 0u);
}

TEST(TerminalDialogs, AnAnswerThatFitsNoButtonIsRefusedAndNothingIsDecidedAfterIt) {
    struct Case {
        int style;
        const char* queued;
        int answer;
    };
    for (const Case& c : {Case{48, "yes", msgbox::AnswerOk}, Case{4 | 32, "ok", msgbox::AnswerNo},
                          Case{3, "ok", msgbox::AnswerCancel}, Case{2, "yes", 3}}) {
        Terminal t(true, "s\n");  // neither the rest of the queue nor the keyboard answers
        t.dialogs.queueAnswer(c.queued);
        t.dialogs.queueAnswer("yes");
        EXPECT_EQ(t.dialogs.messageBox(u"x", c.style, u"t"), c.answer) << c.style;
        ASSERT_TRUE(t.dialogs.refusal().has_value());
        EXPECT_EQ(t.dialogs.refusal()->refused, TerminalDialogs::answerOf(c.queued));
        EXPECT_EQ(t.dialogs.refusal()->source, TerminalDialogs::AnswerSource::Refusal);
        EXPECT_EQ(t.dialogs.queuedAnswers(), 0u);
        EXPECT_EQ(t.dialogs.messageBox(u"y", 4 | 32, u"t"), msgbox::AnswerNo) << c.style;
        EXPECT_NE(t.out.str().find("não é um dos botões desta caixa"), std::string::npos);
    }
}

TEST(TerminalDialogs, KeyboardAnswersAskAgainUntilUnderstood) {
    Terminal t(true, "talvez\nok\nn\n");
    TerminalDialogs::Box seen;
    t.dialogs.setObserver([&](const TerminalDialogs::Box& b) { seen = b; });
    EXPECT_EQ(t.dialogs.messageBox(u"Continuar?", 36, u"t"), msgbox::AnswerNo);
    EXPECT_EQ(seen.source, TerminalDialogs::AnswerSource::Keyboard);
    EXPECT_EQ(seen.answer, msgbox::AnswerNo);
    EXPECT_EQ(seen.title, u"t");
    std::string out = t.out.str();
    auto first = out.find("Resposta não reconhecida.");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(out.find("Resposta não reconhecida.", first + 1), std::string::npos)
        << "ok is no answer to Yes/No";
}

TEST(TerminalDialogs, KeyboardEnterTakesTheDefaultAndEndOfInputToo) {
    Terminal t(true, "\n");
    EXPECT_EQ(t.dialogs.messageBox(u"?", 4 | 256, u"t"), msgbox::AnswerNo);
    EXPECT_EQ(t.dialogs.messageBox(u"?", 4, u"t"), msgbox::AnswerYes) << "input ended";
    EXPECT_NE(t.out.str().find("sem resposta dada"), std::string::npos);
}

TEST(TerminalDialogs, ButtonsOfEveryStyle) {
    EXPECT_EQ(TerminalDialogs::buttonsOf(2).size(), 3u);
    EXPECT_EQ(TerminalDialogs::buttonsOf(3), (std::vector<int>{6, 7, 2}));
    EXPECT_EQ(TerminalDialogs::buttonsOf(5), (std::vector<int>{4, 2}));
    EXPECT_EQ(TerminalDialogs::buttonsOf(9), (std::vector<int>{1})) << "unknown styles get OK";
    EXPECT_EQ(TerminalDialogs::answerOf(" Repetir "), 4);
    EXPECT_FALSE(TerminalDialogs::answerOf("").has_value());
}

}  // namespace
