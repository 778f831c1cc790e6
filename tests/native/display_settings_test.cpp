#include "app/display_settings.h"

#include <cmath>
#include <gtest/gtest.h>
#include <map>

namespace torvane {
namespace {

// A system in the black high-contrast scheme, or in the standard colours; no
// two of the colours the window uses are the same, so a swap shows.
class FakeSystemLook : public SystemLook {
  public:
    explicit FakeSystemLook(bool highContrast) : highContrast_(highContrast) {}
    bool HighContrast() const override { return highContrast_; }
    Colour ColourOf(SystemColour colour) const override {
        const std::map<SystemColour, Colour> highContrast{{SystemColour::Window, 0x000000},
                                                          {SystemColour::WindowText, 0xFFFFFF},
                                                          {SystemColour::ButtonFace, 0x101010},
                                                          {SystemColour::HotLight, 0x00FFFF}};
        const std::map<SystemColour, Colour> standard{{SystemColour::Window, 0xFFFFFF},
                                                      {SystemColour::WindowText, 0x000000},
                                                      {SystemColour::ButtonFace, 0xF0F0F0},
                                                      {SystemColour::HotLight, 0xCC6600}};
        return (highContrast_ ? highContrast : standard).at(colour);
    }

  private:
    bool highContrast_;
};

TEST(Palette, ThePictureWithRedLabelsOrTheUsersOwnColours) {
    struct Case {
        bool highContrast;
        Palette expected;
    };
    for (const Case& c : {
             // background, labels, list background, list text
             Case{false, {true, 0xF0F0F0, 0x0000FF, 0xFFFFFF, 0x000000}},
             Case{true, {false, 0x000000, 0x00FFFF, 0x000000, 0xFFFFFF}},
         }) {
        SCOPED_TRACE(c.highContrast ? "high contrast" : "standard colours");
        const Palette palette = ChoosePalette(FakeSystemLook(c.highContrast));
        EXPECT_EQ(palette.backgroundPicture, c.expected.backgroundPicture);
        EXPECT_EQ(palette.background, c.expected.background);
        EXPECT_EQ(palette.labelText, c.expected.labelText);
        EXPECT_EQ(palette.listBackground, c.expected.listBackground);
        EXPECT_EQ(palette.listText, c.expected.listText);
    }
}

TEST(TextScale, GrowsWithTheMessageFontFromWindowsDefaultOn) {
    struct Case {
        int height;
        double scale;
    };
    for (const Case& c : {
             Case{-12, 1},     // Windows 10/11's 9 pt at 96 DPI
             Case{-11, 1},     // Wine's
             Case{-9, 1},      // never smaller than drawn
             Case{0, 1},       // the font mapper's default height
             Case{-18, 1.5},   // 150 %
             Case{-27, 2.25},  // 225 %, the most the setting gives
             Case{18, 1.5},    // a cell height counts the same
         }) {
        SCOPED_TRACE(c.height);
        EXPECT_DOUBLE_EQ(TextScale(c.height), c.scale);
    }
}

// Whether the window, grown by the scale, fits the work area in whole pixels.
bool Fits(double scale, int dpi, Extent frame, Extent work) {
    auto pixels = [&](int twips) { return std::lround(twips * dpi * scale / 1440); };
    return pixels(7470) + frame.width <= work.width && pixels(5145) + frame.height <= work.height;
}

TEST(TextScale, IsCappedWhereTheWindowWouldLeaveTheWorkArea) {
    struct Case {
        double scale;
        int dpi;
        Extent frame, work;
        bool capped;
    };
    for (const Case& c : {
             Case{2.25, 96, {6, 29}, {1920, 1040}, false},
             Case{2.25, 96, {6, 29}, {1024, 738}, true},   // too wide
             Case{2.25, 96, {6, 29}, {1280, 770}, true},   // too tall
             Case{2.25, 144, {9, 44}, {1280, 800}, true},  // half pixels at scale 1
             Case{1.5, 96, {6, 29}, {480, 360}, false},    // too small even at 1: 1 it stays
         }) {
        SCOPED_TRACE(::testing::Message()
                     << c.work.width << " x " << c.work.height << " at " << c.dpi << " DPI");
        const double scale = ScaleWithinWorkArea(c.scale, {7470, 5145}, c.dpi, c.frame, c.work);
        if (!Fits(1, c.dpi, c.frame, c.work)) {
            EXPECT_EQ(scale, 1);
        } else if (!c.capped) {
            EXPECT_EQ(scale, c.scale);
        } else {
            EXPECT_LT(scale, c.scale);
            EXPECT_TRUE(Fits(scale, c.dpi, c.frame, c.work)) << scale;
            EXPECT_FALSE(Fits(scale + 0.005, c.dpi, c.frame, c.work)) << scale << ": room left";
        }
    }
}

}  // namespace
}  // namespace torvane
