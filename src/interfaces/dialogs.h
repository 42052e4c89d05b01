// Modal message boxes. Style values and answers are the platform's.
#pragma once

#include <optional>

#include "automation/text.h"

namespace vantrel::interfaces {

namespace msgbox {
inline constexpr int OkOnly = 0;
inline constexpr int YesNo = 4;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
inline constexpr int DefaultButton2 = 256;

inline constexpr int AnswerOk = 1;
inline constexpr int AnswerCancel = 2;
inline constexpr int AnswerYes = 6;
inline constexpr int AnswerNo = 7;
}  // namespace msgbox

// The title a box shows when the caller names none: the application's own.
inline constexpr char16_t kApplicationTitle[] = u"QuorilVantrel";

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a modal box and returns the answer. No title (nullopt) means the application's
    // default title; an empty text means an empty title bar.
    virtual int messageBox(automation::TextView text, int style,
                           const std::optional<automation::Text>& title) = 0;
};

}  // namespace vantrel::interfaces
