// Twips and screen pixels: window layouts are written in twips, as VB forms are, and placed
// in pixels of the screen's logical resolution.
#pragma once

#include <windows.h>

#include <cmath>

#include "platform/win32/com_handles.h"

namespace vantrel::platform::win32 {

// Twips per pixel of the screen (1440 twips to the logical inch; 96 dpi when unknown).
inline double twipsPerPixel() {
    const UniqueScreenDc screen(GetDC(nullptr));
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

inline int pixels(double twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

}  // namespace vantrel::platform::win32
