#include "dialog_watcher.h"

#include <algorithm>

namespace vantrel::wine {

DialogWatcher::DialogWatcher(bool anyProcess) : anyProcess_(anyProcess) {
    icons_[0] = LoadIcon(nullptr, IDI_HAND);
    icons_[1] = LoadIcon(nullptr, IDI_QUESTION);
    icons_[2] = LoadIcon(nullptr, IDI_EXCLAMATION);
    icons_[3] = LoadIcon(nullptr, IDI_ASTERISK);
    stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_.reset(CreateThread(nullptr, 0, &DialogWatcher::run, this, 0, nullptr));
}

DialogWatcher::~DialogWatcher() {
    SetEvent(stop_.get());
    WaitForSingleObject(thread_.get(), INFINITE);
}

void DialogWatcher::answer(std::initializer_list<int> buttons) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.assign(buttons.begin(), buttons.end());
}

std::vector<SeenBox> DialogWatcher::take(DWORD settleMs) {
    if (settleMs) Sleep(settleMs);
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<SeenBox> out;
    out.swap(seen_);
    answers_.clear();
    return out;
}

DWORD WINAPI DialogWatcher::run(void* self) {
    auto* w = static_cast<DialogWatcher*>(self);
    while (WaitForSingleObject(w->stop_.get(), 15) == WAIT_TIMEOUT) w->poll();
    return 0;
}

namespace {
struct Found {
    std::vector<HWND> dialogs;
    bool anyProcess = false;
};
BOOL CALLBACK collect(HWND hwnd, LPARAM lp) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    auto* found = reinterpret_cast<Found*>(lp);
    if ((!found->anyProcess && pid != GetCurrentProcessId()) || !IsWindowVisible(hwnd)) return TRUE;
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (std::wstring(cls) == L"#32770") reinterpret_cast<Found*>(lp)->dialogs.push_back(hwnd);
    return TRUE;
}
std::wstring textOf(HWND hwnd) {
    // WM_GETTEXT rather than GetWindowText: it also reads controls of other processes.
    wchar_t buffer[2048] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                        2000, &got);
    return std::wstring(buffer, static_cast<std::size_t>(got));
}
}  // namespace

void DialogWatcher::poll() {
    Found found;
    found.anyProcess = anyProcess_;
    EnumWindows(&collect, reinterpret_cast<LPARAM>(&found));
    // Forget windows that are gone, so a reused handle counts as a new box.
    handled_.erase(
        std::remove_if(handled_.begin(), handled_.end(), [](HWND h) { return !IsWindow(h); }),
        handled_.end());
    for (HWND d : found.dialogs)
        if (std::find(handled_.begin(), handled_.end(), d) == handled_.end()) handle(d);
}

void DialogWatcher::handle(HWND dialog) {
    HWND textControl = GetDlgItem(dialog, 0xFFFF);
    if (!textControl) return;  // not a message box, or not built yet
    SeenBox box;
    box.title = textOf(dialog);
    box.text = textOf(textControl);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        std::wstring c(cls);
        LONG style = GetWindowLongW(child, GWL_STYLE);
        if (_wcsicmp(c.c_str(), L"Button") == 0 && IsWindowVisible(child)) {
            box.buttons.push_back(GetDlgCtrlID(child));
        } else if (_wcsicmp(c.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
            HICON icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
            if (icon) {
                box.icon = Icon::Unknown;
                const Icon kinds[4] = {Icon::Error, Icon::Question, Icon::Exclamation,
                                       Icon::Information};
                for (int i = 0; i < 4; ++i)
                    if (icon == icons_[i]) box.icon = kinds[i];
            }
        }
    }
    std::sort(box.buttons.begin(), box.buttons.end());
    int press;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!answers_.empty()) {
            press = answers_.front();
            answers_.pop_front();
        } else {
            press = std::find(box.buttons.begin(), box.buttons.end(), IDOK) != box.buttons.end()
                        ? IDOK
                        : (box.buttons.empty() ? IDCANCEL : box.buttons.front());
        }
        box.pressed = press;
        seen_.push_back(box);
    }
    handled_.push_back(dialog);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(press, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, press)));
}

}  // namespace vantrel::wine
