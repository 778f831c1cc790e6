#pragma once

#include <vector>

#include "tests/e2e/e2e_fixture.h"

namespace torvane::e2e {

// The client area as it is on the screen once painted, pixel by pixel.
class ClientPixels {
  public:
    explicit ClientPixels(HWND window) {
        Sleep(200);  // let the window finish painting
        RECT client{};
        GetClientRect(window, &client);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
        width_ = client.right - client.left;
        height_ = client.bottom - client.top;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width_, height_, screen, client.left, client.top, SRCCOPY);
        GdiFlush();
        pixels_.assign(static_cast<const DWORD*>(bits),
                       static_cast<const DWORD*>(bits) + width_ * height_);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    COLORREF at(int x, int y) const {
        const DWORD p = pixels_.at(static_cast<size_t>(y * width_ + x));
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<DWORD> pixels_;
};

inline bool IsDark(COLORREF c) {
    return GetRValue(c) + GetGValue(c) + GetBValue(c) < 300;
}

inline RECT ClientRectOf(HWND main, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Every text of the input box fits its control in the window's own font, at
// whatever DPI the screen has.
class WindowLookTest : public EndToEndTest {
  protected:
    void ExpectTheWindowsFontAndRoomForEveryCaption() {
        StartTask(3, 1);  // 设置桌面图标大小
        DialogSeen box = ExpectDialog(L"按百分比输入");
        ASSERT_TRUE(box.handle);
        // The program's font, made here the same way: the message font at
        // the screen's DPI (this driver is DPI-aware).
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        for (int id : {100, 101, IDOK, IDCANCEL}) {
            SCOPED_TRACE(id);
            HWND control = GetDlgItem(box.handle, id);
            const std::wstring text = id == 101 ? L"32" : WindowText(control);
            SIZE extent{};
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            RECT client{};
            GetClientRect(control, &client);
            EXPECT_LE(extent.cx + 4, client.right) << Utf8(text);
            EXPECT_LE(extent.cy, client.bottom) << Utf8(text);
        }
        // Dialog units are measured in the box's font: the OK button, 48 × 14
        // units, has the size that the window's font gives those units.
        TEXTMETRICW text{};
        GetTextMetricsW(dc, &text);
        SIZE alphabet{};
        GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52,
                              &alphabet);
        const int baseX = (alphabet.cx / 26 + 1) / 2;
        RECT ok{};
        GetClientRect(GetDlgItem(box.handle, IDOK), &ok);
        EXPECT_NEAR(ok.right, MulDiv(48, baseX, 4), 1) << "base " << baseX;
        EXPECT_NEAR(ok.bottom, MulDiv(14, text.tmHeight, 8), 1) << "height " << text.tmHeight;
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        DeleteObject(font);
        app->PressDialogButton(box, IDCANCEL);
        app->PressDialogButton(ExpectDialog(L"错误"), IDOK);
        ASSERT_TRUE(app->WaitForDialogsToClose());
    }
};

}  // namespace torvane::e2e
