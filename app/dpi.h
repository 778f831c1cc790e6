#pragma once

#include <windows.h>

// Dots per inch, through the per-monitor functions where Windows has them
// (Windows 10 and later) and the system-wide value before that.
namespace torvane {

constexpr int kDefaultDpi = 96;

int WindowDpi(HWND window);
int SystemDpi();
// The outer size of a window whose client area has the given size at this DPI.
SIZE FrameSizeForClient(SIZE client, DWORD style, DWORD exStyle, int dpi);
// The message font of the interface, sized for this DPI.
HFONT CreateMessageFont(int dpi);
inline int Scale(int pixelsAt96, int dpi) {
    return MulDiv(pixelsAt96, dpi, kDefaultDpi);
}

}  // namespace torvane
