// The window procedure of a class of windows each served by one C++ object: the object
// comes in CreateWindowEx's last parameter, is kept in GWLP_USERDATA from WM_NCCREATE and
// forgotten at WM_NCDESTROY; every message between goes to its `handle`.
#pragma once

#include <windows.h>

namespace vantrel::platform::win32 {

template <class T>
LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        return DefWindowProcW(hwnd, message, w, l);
    }
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        return DefWindowProcW(hwnd, message, w, l);
    }
    if (self) return self->handle(hwnd, message, w, l);
    return DefWindowProcW(hwnd, message, w, l);
}

}  // namespace vantrel::platform::win32
