// The window with the system's text size at 150 % (设置 › 辅助功能 › 文本大小).
#include <cmath>

#include "tests/e2e/window_look.h"

namespace torvane::e2e {
namespace {

const std::wstring kWindowMetrics = L"Control Panel\\Desktop\\WindowMetrics";
constexpr int kLargerFont = -18;  // Windows' 12 px at 150 %
constexpr double kScale = 1.5;

// Wine takes the message font from the registry when a program starts: the
// program started here gets the larger font, and every later one the old one.
class LargerTextTest : public EndToEndTest {
  protected:
    void SetUp() override {
        saved_ = ReadValue(HKEY_CURRENT_USER, kWindowMetrics, L"MessageFont");
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        LOGFONTW larger = metrics.lfMessageFont;
        larger.lfHeight = kLargerFont;
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&larger);
        PutValue(HKEY_CURRENT_USER, kWindowMetrics, L"MessageFont",
                 {REG_BINARY, std::vector<std::uint8_t>(bytes, bytes + sizeof larger)});
        font_ = CreateFontIndirectW(&larger);
        EndToEndTest::SetUp();
    }
    void TearDown() override {
        EndToEndTest::TearDown();
        if (saved_) {
            PutValue(HKEY_CURRENT_USER, kWindowMetrics, L"MessageFont", *saved_);
        } else {
            DeleteValue(HKEY_CURRENT_USER, kWindowMetrics, L"MessageFont");
        }
        DeleteObject(font_);
    }

    // How large the text is in the program's font.
    SIZE Extent(const std::wstring& text) {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font_);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return extent;
    }
    // The height the text takes when wrapped to this width, as a list view
    // wraps an item's text below its picture.
    int WrappedHeight(const std::wstring& text, int width) {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font_);
        RECT rect{0, 0, width, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                  DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_CENTER);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return rect.bottom - rect.top;
    }

    std::optional<RawValue> saved_;
    HFONT font_ = nullptr;
};

int Grown(int twips) {
    return static_cast<int>(std::lround(twips * kScale / 15));
}

TEST_F(LargerTextTest, TheLayoutAndThePictureGrowAndEveryCaptionFits) {
    RECT client{};
    GetClientRect(app->main(), &client);
    EXPECT_EQ(client.right, Grown(7470));
    EXPECT_EQ(client.bottom, Grown(5145));
    struct Twips {
        int id, left, top, width, height;
    };
    for (const Twips& t :
         {Twips{IDC_LABEL1, 705, 1920, 1095, 255}, Twips{IDC_LABEL2, 705, 2565, 1335, 255},
          Twips{IDC_LABEL3, 705, 3210, 855, 255}, Twips{IDC_LABEL4, 705, 3855, 855, 255},
          Twips{IDC_LISTVIEW1, 2250, 1365, 5010, 3120}, Twips{IDC_COMMAND1, 4170, 4650, 945, 300},
          Twips{IDC_COMMAND2, 5715, 4650, 945, 300}}) {
        SCOPED_TRACE(t.id);
        HWND control = app->Control(t.id);
        const RECT rect = ClientRectOf(app->main(), control);
        EXPECT_EQ(rect.left, Grown(t.left));
        EXPECT_EQ(rect.top, Grown(t.top));
        EXPECT_EQ(rect.right - rect.left, Grown(t.width));
        EXPECT_EQ(rect.bottom - rect.top, Grown(t.height));
        if (t.id == IDC_LISTVIEW1) continue;
        const std::wstring caption = WindowText(control);
        const SIZE extent = Extent(caption);
        EXPECT_GE(rect.right - rect.left, extent.cx) << Utf8(caption);
        EXPECT_GE(rect.bottom - rect.top, extent.cy) << Utf8(caption);
    }
    // The picture grew with the layout: the list still sits inside its outline.
    ClientPixels pixels(app->main());
    const RECT list = ClientRectOf(app->main(), app->Control(IDC_LISTVIEW1));
    EXPECT_TRUE(IsDark(pixels.at(list.left - 1, (list.top + list.bottom) / 2)));
    EXPECT_TRUE(IsDark(pixels.at((list.left + list.right) / 2, list.bottom)));
}

TEST_F(LargerTextTest, NoTaskTextIsCut) {
    for (int label = 1; label <= 4; ++label) {
        app->ClickLabel(label);
        app->SelectItem(-1);  // the item with the focus would show its whole text anyway
        const std::vector<ListItemSeen> items = app->ListItems();
        ASSERT_FALSE(items.empty());
        for (int i = 0; i < static_cast<int>(items.size()); ++i) {
            SCOPED_TRACE(Utf8(items[i].text));
            // The list cuts a text that needs more lines than it gives it,
            // and ends it with "…"; whole, it takes the lines it needs.
            const RECT shown = app->ItemScreenRect(i, LVIR_LABEL);
            EXPECT_GE(shown.bottom - shown.top,
                      WrappedHeight(items[i].text, shown.right - shown.left));
        }
    }
}

}  // namespace
}  // namespace torvane::e2e
