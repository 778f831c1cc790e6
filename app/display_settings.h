#pragma once

#include <cstdint>

// How the window follows the user's display settings: its colours in high
// contrast, and how far its layout grows with the system's text size.
namespace torvane {

// A colour as Windows keeps one: 0x00BBGGRR.
using Colour = std::uint32_t;

// The system colours the window paints with, numbered as GetSysColor numbers them.
enum class SystemColour : int { Window = 5, WindowText = 8, ButtonFace = 15, HotLight = 26 };

// What the window asks the system about its look.
class SystemLook {
  public:
    virtual ~SystemLook() = default;
    virtual bool HighContrast() const = 0;
    virtual Colour ColourOf(SystemColour colour) const = 0;
};

struct Palette {
    bool backgroundPicture = true;
    Colour background = 0;  // wherever the picture does not reach
    Colour labelText = 0;
    Colour listBackground = 0;
    Colour listText = 0;
};

// The picture and red labels, or in high contrast the user's own colours with
// nothing behind the text.
Palette ChoosePalette(const SystemLook& system);

struct Extent {
    int width = 0;
    int height = 0;
};

// How far the layout grows for the message font's height at 96 DPI: 12 pixels,
// Windows' own 9 points, gives 1, and it never shrinks below that.
double TextScale(int messageFontHeightAt96);
// The scale cut down, where it must be, so that a window whose client area is
// this many twips at this DPI, in a frame that adds this much and does not
// grow, still fits the work area. Never below 1.
double ScaleWithinWorkArea(double scale, Extent clientTwips, int dpi, Extent frame,
                           Extent workArea);

}  // namespace torvane
