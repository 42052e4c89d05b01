#include "platform/posix/terminal_dialogs.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <iostream>

namespace vantrel::platform::posix {

using automation::Text;
using automation::TextView;

namespace msgbox = interfaces::msgbox;
using automation::toUtf8;

namespace {

constexpr int kAbort = 3, kRetry = 4, kIgnore = 5;

std::string lower(std::string_view word) {
    std::string s;
    for (char c : word) s.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    // "NÃO" in UTF-8: lower the two-byte capital A with tilde as well.
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        if (static_cast<unsigned char>(s[i]) == 0xC3 &&
            static_cast<unsigned char>(s[i + 1]) == 0x83)
            s[i + 1] = '\xA3';
    }
    return s;
}

std::string trimmed(const std::string& s) {
    auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

// The lines of a text: CR LF, LF or CR each end a line.
std::vector<std::string> linesOf(TextView text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            lines.emplace_back();
            continue;
        }
        lines.back() += toUtf8(TextView(&text[i], 1));
    }
    return lines;
}

int defaultButton(int style, const std::vector<int>& buttons) {
    std::size_t index = static_cast<std::size_t>((style >> 8) & 0xF);
    return index < buttons.size() ? buttons[index] : buttons.front();
}

}  // namespace

TerminalDialogs::TerminalDialogs(std::ostream& out, std::istream& in, bool keyboard)
    : out_(out), in_(in), keyboard_(keyboard) {}

std::unique_ptr<TerminalDialogs> TerminalDialogs::forConsole() {
    return std::make_unique<TerminalDialogs>(std::cout, std::cin, isatty(STDIN_FILENO) == 1);
}

std::optional<int> TerminalDialogs::answerOf(std::string_view word) {
    std::string w = lower(trimmed(std::string(word)));
    if (w == "ok") return msgbox::AnswerOk;
    if (w == "cancel" || w == "cancelar") return msgbox::AnswerCancel;
    if (w == "abort" || w == "abortar") return kAbort;
    if (w == "retry" || w == "repetir") return kRetry;
    if (w == "ignore" || w == "ignorar") return kIgnore;
    if (w == "yes" || w == "y" || w == "sim" || w == "s") return msgbox::AnswerYes;
    if (w == "no" || w == "n" || w == "nao" || w == "n\xC3\xA3o") return msgbox::AnswerNo;
    return std::nullopt;
}

std::vector<int> TerminalDialogs::buttonsOf(int style) {
    switch (style & 0xF) {
        case 1:
            return {msgbox::AnswerOk, msgbox::AnswerCancel};
        case 2:
            return {kAbort, kRetry, kIgnore};
        case 3:
            return {msgbox::AnswerYes, msgbox::AnswerNo, msgbox::AnswerCancel};
        case 4:
            return {msgbox::AnswerYes, msgbox::AnswerNo};
        case 5:
            return {kRetry, msgbox::AnswerCancel};
        default:
            return {msgbox::AnswerOk};
    }
}

int TerminalDialogs::noncommittalAnswer(int style) {
    const std::vector<int> buttons = buttonsOf(style);
    for (int answer : {msgbox::AnswerCancel, msgbox::AnswerNo, kAbort}) {
        if (std::find(buttons.begin(), buttons.end(), answer) != buttons.end()) return answer;
    }
    return buttons.front();
}

std::string TerminalDialogs::iconWord(int style) {
    switch (style & 0xF0) {
        case msgbox::Critical:
            return "Erro crítico";
        case msgbox::Question:
            return "Pergunta";
        case msgbox::Exclamation:
            return "Exclamação";
        case msgbox::Information:
            return "Informação";
        default:
            return std::string();
    }
}

std::string TerminalDialogs::buttonWord(int answer) {
    switch (answer) {
        case msgbox::AnswerOk:
            return "OK";
        case msgbox::AnswerCancel:
            return "Cancelar";
        case kAbort:
            return "Abortar";
        case kRetry:
            return "Repetir";
        case kIgnore:
            return "Ignorar";
        case msgbox::AnswerYes:
            return "Sim";
        case msgbox::AnswerNo:
            return "Não";
        default:
            return "?";
    }
}

bool TerminalDialogs::queueAnswer(std::string_view word) {
    auto answer = answerOf(word);
    if (!answer) return false;
    queue_.push_back(*answer);
    return true;
}

int TerminalDialogs::messageBox(TextView text, int style, const std::optional<Text>& title) {
    Box box{Text(text), style, title ? *title : Text(interfaces::kApplicationTitle), 0,
            AnswerSource::DefaultButton};
    std::vector<int> buttons = buttonsOf(style);
    int fallback = defaultButton(style, buttons);

    std::string icon = iconWord(style);
    out_ << "\n+-- " << (icon.empty() ? "" : "[" + icon + "] ") << toUtf8(box.title) << '\n';
    for (const auto& line : linesOf(text)) out_ << "| " << line << '\n';
    out_ << "+--";
    for (int b : buttons)
        out_ << " [" << buttonWord(b) << (b == fallback && buttons.size() > 1 ? "*" : "") << ']';
    out_ << '\n';

    auto fits = [&](int answer) {
        return std::find(buttons.begin(), buttons.end(), answer) != buttons.end();
    };
    bool answered = false;
    if (!refusal_ && !queue_.empty()) {
        int queued = queue_.front();
        queue_.pop_front();
        if (fits(queued)) {
            box.answer = queued;
            box.source = AnswerSource::Queue;
            answered = true;
            out_ << "=> " << buttonWord(queued) << " (--answer)\n";
        } else {
            out_ << "(a resposta dada, " << buttonWord(queued)
                 << ", não é um dos botões desta caixa: respostas recusadas)\n";
            box.refused = queued;
            queue_.clear();
        }
    }
    if (!answered && (refusal_ || box.refused)) {
        box.answer = noncommittalAnswer(style);
        box.source = AnswerSource::Refusal;
        answered = true;
        out_ << "=> " << buttonWord(box.answer) << " (a resposta que nada decide)\n";
        if (!refusal_) refusal_ = box;
    }
    if (!answered && keyboard_) {
        std::string choices;
        for (int b : buttons) choices += (choices.empty() ? "" : "/") + buttonWord(b);
        while (!answered) {
            out_ << "Resposta (" << choices << ", Enter = " << buttonWord(fallback)
                 << "): " << std::flush;
            std::string line;
            if (!std::getline(in_, line)) break;
            if (trimmed(line).empty()) {
                box.answer = fallback;
            } else if (auto a = answerOf(line); a && fits(*a)) {
                box.answer = *a;
            } else {
                out_ << "Resposta não reconhecida.\n";
                continue;
            }
            box.source = AnswerSource::Keyboard;
            answered = true;
        }
    }
    if (!answered) {
        box.answer = fallback;
        box.source = AnswerSource::DefaultButton;
        out_ << "=> " << buttonWord(fallback) << " (sem resposta dada: botão por omissão)\n";
    }
    out_.flush();
    if (observer_) observer_(box);
    return box.answer;
}

}  // namespace vantrel::platform::posix
