// Finds the message boxes of this process as they appear (dialog class "#32770"), reads
// their caption, text (static control 0xFFFF), icon and buttons, and presses the button the
// test queued (IDOK when nothing was queued). Runs on its own thread, since the boxes are
// modal on the thread that makes the COM call.
#pragma once

#include <windows.h>

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win32/com_handles.h"

namespace vantrel::wine {

enum class Icon { None, Error, Question, Exclamation, Information, Unknown };

struct SeenBox {
    std::wstring title;
    std::wstring text;
    std::vector<int> buttons;  // control ids: IDOK 1, IDYES 6, IDNO 7...
    Icon icon = Icon::None;
    int pressed = 0;
};

class DialogWatcher {
public:
    // anyProcess: also the boxes of other processes (scripts run beside the driver).
    explicit DialogWatcher(bool anyProcess = false);
    ~DialogWatcher();
    // The answers for the next boxes, in order.
    void answer(std::initializer_list<int> buttons);
    // The boxes seen since the last call; waits up to `settleMs` for boxes still closing.
    std::vector<SeenBox> take(DWORD settleMs = 0);

private:
    static DWORD WINAPI run(void* self);
    void poll();
    void handle(HWND dialog);

    bool anyProcess_;
    platform::win32::UniqueObjectHandle thread_;
    platform::win32::UniqueObjectHandle stop_;
    std::mutex mutex_;
    std::deque<int> answers_;
    std::vector<SeenBox> seen_;
    std::vector<HWND> handled_;
    HICON icons_[4] = {};
};

}  // namespace vantrel::wine
