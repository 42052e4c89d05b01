// Message boxes in a terminal. Each box is printed (title, icon word, text, buttons) and
// answered, in this order of preference:
//   1. the next answer of the queue (the --answer options of vantrel, one per box);
//   2. the keyboard, when the input is a terminal;
//   3. otherwise the box's default button, and the box says so.
// A queued answer that is no button of its box means the queue is out of step with the
// boxes: it is refused (see refusal()), the rest of the queue is dropped, and that box and
// every later one get the answer that commits to nothing (Cancel, else No, else Abort, else
// OK) rather than a guess that could say Yes.
// An observer sees every box with its answer (vantrel host --json prints them).
#pragma once

#include <deque>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "interfaces/dialogs.h"

namespace vantrel::platform::posix {

class TerminalDialogs : public interfaces::Dialogs {
public:
    enum class AnswerSource { Queue, Keyboard, DefaultButton, Refusal };

    struct Box {
        automation::Text text;
        int style = 0;
        automation::Text title;  // the title shown (the application's title when none was given)
        int answer = 0;
        AnswerSource source = AnswerSource::DefaultButton;
        int refused = 0;  // the queued answer that fit no button of this box (0: none)
    };

    // `keyboard`: whether `in` is a person at a terminal.
    TerminalDialogs(std::ostream& out, std::istream& in, bool keyboard);
    // Standard output and input; the keyboard is used when standard input is a terminal.
    static std::unique_ptr<TerminalDialogs> forConsole();

    // Queues an answer word (yes/sim/s/y, no/não/nao/n, ok, cancel/cancelar, abort/abortar,
    // retry/repetir, ignore/ignorar; any case). False for a word that is none of these.
    bool queueAnswer(std::string_view word);
    std::size_t queuedAnswers() const { return queue_.size(); }

    void setObserver(std::function<void(const Box&)> observer) { observer_ = std::move(observer); }

    int messageBox(automation::TextView text, int style,
                   const std::optional<automation::Text>& title) override;

    // The box whose queued answer was refused, once one was.
    const std::optional<Box>& refusal() const { return refusal_; }

    // The answer code of a word (msgbox::AnswerYes...), nothing for an unknown word.
    [[nodiscard]] static std::optional<int> answerOf(std::string_view word);
    // The buttons of a style, in order, as answer codes.
    static std::vector<int> buttonsOf(int style);
    // The answer of a box closed without deciding anything.
    static int noncommittalAnswer(int style);
    // The word shown for an icon ("Exclamação"...); empty for a style without icon.
    static std::string iconWord(int style);
    static std::string buttonWord(int answer);

private:
    std::ostream& out_;
    std::istream& in_;
    bool keyboard_;
    std::deque<int> queue_;
    std::function<void(const Box&)> observer_;
    std::optional<Box> refusal_;
};

}  // namespace vantrel::platform::posix
