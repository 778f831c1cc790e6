#include "app/display_settings.h"

#include <algorithm>
#include <cstdlib>

namespace torvane {
namespace {

constexpr Colour kPureRed = 0x0000FF;
constexpr int kDefaultMessageFontHeight = 12;

}  // namespace

Palette ChoosePalette(const SystemLook& system) {
    Palette palette;
    palette.listBackground = system.ColourOf(SystemColour::Window);
    palette.listText = system.ColourOf(SystemColour::WindowText);
    if (system.HighContrast()) {
        // A picture behind text is what high contrast asks programs to leave
        // out; the labels take the colour of links, which is what they are.
        palette.backgroundPicture = false;
        palette.background = system.ColourOf(SystemColour::Window);
        palette.labelText = system.ColourOf(SystemColour::HotLight);
    } else {
        palette.background = system.ColourOf(SystemColour::ButtonFace);
        palette.labelText = kPureRed;
    }
    return palette;
}

double TextScale(int messageFontHeightAt96) {
    return std::max(
        1.0, std::abs(messageFontHeightAt96) / static_cast<double>(kDefaultMessageFontHeight));
}

double ScaleWithinWorkArea(double scale, Extent clientTwips, int dpi, Extent frame,
                           Extent workArea) {
    if (clientTwips.width <= 0 || clientTwips.height <= 0 || dpi <= 0) return 1;
    // Against the client's exact size, not its rounded pixels: rounded to
    // pixels at the scale found, it then never exceeds the room there is.
    const double pixelsPerTwip = dpi / 1440.0;
    const double widest = (workArea.width - frame.width) / (clientTwips.width * pixelsPerTwip);
    const double tallest = (workArea.height - frame.height) / (clientTwips.height * pixelsPerTwip);
    return std::max(1.0, std::min({scale, widest, tallest}));
}

}  // namespace torvane
