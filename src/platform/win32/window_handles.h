// Owners for windows and GDI objects: a window is destroyed, a font or brush deleted, a
// paint ended and a selected object put back, each exactly once, by its owner.
#pragma once

#include <windows.h>

#include <utility>

#include "platform/win32/com_handles.h"

namespace vantrel::platform::win32 {

// A window that Windows may already have destroyed with its parent: destroyed only while
// it still exists.
inline void destroyLiveWindow(HWND h) {
    if (IsWindow(h)) DestroyWindow(h);
}
using UniqueWindow = UniqueHandle<HWND, &destroyLiveWindow>;

// A font, brush, pen or bitmap created by the caller (stock objects need no owner).
template <class T>
inline void deleteGdiObject(T h) {
    DeleteObject(h);
}
template <class T>
using UniqueGdiObject = UniqueHandle<T, &deleteGdiObject<T>>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;

// BeginPaint for a scope, EndPaint at its end.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    HDC dc() const { return dc_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_;
    HDC dc_;
};

// An object selected into a device context for a scope: what it replaced goes back at the
// end, before the object's own owner may delete it.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (old_) SelectObject(dc_, old_);
    }
    // Selects another object; the first one replaced is still the one put back.
    void select(HGDIOBJ object) { SelectObject(dc_, object); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace vantrel::platform::win32
