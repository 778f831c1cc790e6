#pragma once

#include <windows.h>

#include <cmath>

#include "app/display_settings.h"

// Dots per inch, through the per-monitor functions where Windows has them
// (Windows 10 and later) and the system-wide value before that; and the rest of
// what the system says about how the window should look.
namespace torvane {

constexpr int kDefaultDpi = 96;

int WindowDpi(HWND window);
int SystemDpi();
// The outer size of a window whose client area has the given size at this DPI.
SIZE FrameSizeForClient(SIZE client, DWORD style, DWORD exStyle, int dpi);
// The message font of the interface, sized for this DPI; its size also follows
// the system's text size setting.
LOGFONTW MessageFont(int dpi);
// The work area of the monitor, or of the primary monitor for none.
RECT WorkArea(HMONITOR monitor);
// Pixels at 96 DPI for this DPI, grown by the layout's scale for the text size.
inline int Scale(int pixelsAt96, int dpi, double scale = 1) {
    return static_cast<int>(std::lround(pixelsAt96 * dpi * scale / kDefaultDpi));
}

class Win32SystemLook : public SystemLook {
  public:
    bool HighContrast() const override;
    Colour ColourOf(SystemColour colour) const override;
};

}  // namespace torvane
