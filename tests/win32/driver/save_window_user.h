// A user in the system's save window, for the checks that go through it: a thread that
// finds the window of this process, types a name and presses a button.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "platform/win32/com_handles.h"

namespace vantrel::wine {

// Control ids of the Explorer-style file dialog's template: the file types, and the file
// name (the edit control of the cmb13 combo box, or edt1 in older templates).
inline constexpr int kFileTypes = 0x470;      // cmb1
inline constexpr int kFileNameCombo = 0x47C;  // cmb13
inline constexpr int kFileNameEdit = 0x480;   // edt1

// What a user does in the save window: types a name (when given) and presses a button. It
// runs on its own thread while ShowSave holds the calling thread in the window's loop.
class SaveWindowUser {
    using UniqueObjectHandle = platform::win32::UniqueObjectHandle;

public:
    SaveWindowUser(std::wstring typed, int button) : typed_(std::move(typed)), button_(button) {
        thread_.reset(CreateThread(nullptr, 0, &SaveWindowUser::run, this, 0, nullptr));
    }
    ~SaveWindowUser() { finish(); }
    // Waits for the thread; true when it found the window and acted in it.
    bool finish() {
        if (thread_) WaitForSingleObject(thread_.get(), 20000);
        thread_.reset();
        return acted_;
    }
    const std::wstring& fileType() const { return fileType_; }

private:
    static BOOL CALLBACK collect(HWND hwnd, LPARAM lp) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        wchar_t cls[16] = {};
        GetClassNameW(hwnd, cls, 16);
        // A message box has its text in control 0xFFFF; the save window has none.
        if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) &&
            std::wstring(cls) == L"#32770" && GetDlgItem(hwnd, kFileTypes)) {
            *reinterpret_cast<HWND*>(lp) = hwnd;
            return FALSE;
        }
        return TRUE;
    }
    // Sent to the window's thread; a window that stops answering fails the check instead of
    // holding the driver.
    static LRESULT send(HWND w, UINT message, WPARAM wp, LPARAM lp) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(w, message, wp, lp, SMTO_ABORTIFHUNG, 5000, &result)) {
            return -1;
        }
        return static_cast<LRESULT>(result);
    }
    static BOOL CALLBACK findNameEdit(HWND hwnd, LPARAM lp) {
        wchar_t cls[16] = {};
        GetClassNameW(hwnd, cls, 16);
        const int id = GetDlgCtrlID(hwnd);
        if (std::wstring(cls) == L"Edit" && IsWindowVisible(hwnd) &&
            (id == kFileNameCombo || id == kFileNameEdit)) {
            *reinterpret_cast<HWND*>(lp) = hwnd;
            return FALSE;
        }
        return TRUE;
    }
    static DWORD WINAPI run(void* self) {
        static_cast<SaveWindowUser*>(self)->act();
        return 0;
    }
    void act() {
        HWND dialog = nullptr;
        for (int waited = 0; !dialog && waited < 15000; waited += 50) {
            Sleep(50);
            EnumWindows(&collect, reinterpret_cast<LPARAM>(&dialog));
        }
        if (!dialog) return;
        HWND types = GetDlgItem(dialog, kFileTypes);
        const LRESULT selected = send(types, CB_GETCURSEL, 0, 0);
        if (selected >= 0) {
            std::wstring text(
                static_cast<std::size_t>(send(types, CB_GETLBTEXTLEN, selected, 0)) + 1, L'\0');
            send(types, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text.data()));
            fileType_ = text.c_str();
        }
        int button = button_;
        acted_ = true;
        if (!typed_.empty()) {
            // The file name box: an edit control inside the combo box, or on its own.
            HWND name = nullptr;
            EnumChildWindows(dialog, &findNameEdit, reinterpret_cast<LPARAM>(&name));
            acted_ =
                name && send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed_.c_str())) == TRUE;
            if (!acted_) button = IDCANCEL;  // so that ShowSave returns and the check fails
        }
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
    }

    std::wstring typed_;
    int button_;
    std::wstring fileType_;
    bool acted_ = false;
    UniqueObjectHandle thread_;
};

}  // namespace vantrel::wine
