#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"

namespace torvane::e2e {
namespace {

// The driver measures in physical pixels whatever the program's DPI.
const bool kDpiAware = SetProcessDPIAware();

// The client area as it is on the screen, pixel by pixel.
class ClientPixels {
  public:
    explicit ClientPixels(HWND window) {
        RECT client{};
        GetClientRect(window, &client);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        width_ = client.right;
        height_ = client.bottom;
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
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

bool IsRed(COLORREF c) {
    return GetRValue(c) > 200 && GetGValue(c) < 90 && GetBValue(c) < 90;
}
bool IsWhite(COLORREF c) {
    return c == RGB(255, 255, 255);
}
bool IsDark(COLORREF c) {
    return GetRValue(c) + GetGValue(c) + GetBValue(c) < 300;
}
std::string Hex(COLORREF c) {
    char text[16];
    snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

RECT ClientRectOf(HWND main, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Every text of the input box fits its control in the window's own font, at
// whatever DPI the screen has.
class InputBoxLook : public EndToEndTest {
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

using WindowLookTest = InputBoxLook;

TEST_F(WindowLookTest, TheInputBoxUsesTheWindowsFontAndFits) {
    ExpectTheWindowsFontAndRoomForEveryCaption();
}

TEST_F(WindowLookTest, LabelsAreRedTextOnThePicture) {
    Sleep(200);  // let the window finish painting
    ClientPixels pixels(app->main());
    for (int id = IDC_LABEL1; id <= IDC_LABEL4; ++id) {
        SCOPED_TRACE(id);
        const RECT rect = ClientRectOf(app->main(), app->Control(id));
        int red = 0;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) red += IsRed(pixels.at(x, y));
        }
        EXPECT_GT(red, 20) << "no red text";
        // Transparent: the label's empty right end shows the same cream as the
        // panel just left of the label, not a box of its own.
        const COLORREF panel = pixels.at(rect.left - 3, rect.top + 1);
        EXPECT_EQ(Hex(pixels.at(rect.right - 2, rect.top + 1)), Hex(panel));
        EXPECT_NE(Hex(panel), Hex(GetSysColor(COLOR_BTNFACE)));
    }
}

TEST_F(WindowLookTest, TheListCoversExactlyTheWhiteAreaOfThePicture) {
    Sleep(200);
    ClientPixels pixels(app->main());
    const RECT list = ClientRectOf(app->main(), app->Control(IDC_LISTVIEW1));
    ASSERT_EQ(list.left, 150);
    ASSERT_EQ(list.top, 91);
    EXPECT_TRUE(IsWhite(pixels.at(list.right - 5, list.bottom - 5)))
        << Hex(pixels.at(list.right - 5, list.bottom - 5));
    // The picture's dark outline runs just outside the list on all four sides.
    for (int y : {100, 200, 290}) {
        EXPECT_TRUE(IsDark(pixels.at(list.left - 1, y))) << Hex(pixels.at(list.left - 1, y));
        EXPECT_TRUE(IsDark(pixels.at(list.right, y))) << Hex(pixels.at(list.right, y));
    }
    for (int x : {160, 300, 470}) {
        EXPECT_TRUE(IsDark(pixels.at(x, list.top - 1))) << Hex(pixels.at(x, list.top - 1));
        EXPECT_TRUE(IsDark(pixels.at(x, list.bottom))) << Hex(pixels.at(x, list.bottom));
    }
}

TEST_F(WindowLookTest, TabOrderAndFirstFocus) {
    HWND list = app->Control(IDC_LISTVIEW1);
    HWND ok = app->Control(IDC_COMMAND1);
    HWND exit = app->Control(IDC_COMMAND2);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(app->main(), nullptr), &info));
    EXPECT_EQ(info.hwndFocus, list);
    EXPECT_EQ(GetNextDlgTabItem(app->main(), list, FALSE), ok);
    EXPECT_EQ(GetNextDlgTabItem(app->main(), ok, FALSE), exit);
    EXPECT_EQ(GetNextDlgTabItem(app->main(), exit, FALSE), list);
    for (int id = IDC_LABEL1; id <= IDC_LABEL4; ++id) {
        EXPECT_FALSE(GetWindowLongW(app->Control(id), GWL_STYLE) & WS_TABSTOP);
    }
    // Neither button is a default button that Enter would press.
    EXPECT_EQ(GetWindowLongW(ok, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(GetWindowLongW(exit, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
}

TEST_F(WindowLookTest, EnterInTheListAndEscapeDoNothing) {
    app->ClickLabel(3);
    app->SelectItem(2);  // would ask a question if it ran
    HWND list = app->Control(IDC_LISTVIEW1);
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        PostMessageW(list, WM_KEYDOWN, key, 1);
        PostMessageW(list, WM_KEYUP, key, 0xC0000001);
        app->Sync();
        Sleep(100);
        EXPECT_TRUE(app->OpenDialogs().empty());
        EXPECT_TRUE(app->Running());
        EXPECT_TRUE(IsWindowVisible(app->main()));
    }
}

TEST_F(WindowLookTest, HandCursorOverTheLabelsOnly) {
    auto cursorAt = [&](HWND control, int dx, int dy) {
        RECT rect{};
        GetWindowRect(control, &rect);
        SetCursorPos(rect.left + dx, rect.top + dy);
        app->Sync();
        Sleep(150);
        CURSORINFO info{};
        info.cbSize = sizeof info;
        GetCursorInfo(&info);
        return info.hCursor;
    };
    // Cursor handles of another process cannot be opened here (Wine refuses
    // GetIconInfo on them), so the test compares handles. The program's own
    // I-beam is the one its input box shows over the text.
    StartTask(3, 1);  // 设置桌面图标大小: an input box
    DialogSeen box = ExpectDialog(L"按百分比输入");
    ASSERT_TRUE(box.handle);
    const HCURSOR beam = cursorAt(GetDlgItem(box.handle, 101), 10, 5);
    app->PressDialogButton(box, IDCANCEL);
    app->PressDialogButton(ExpectDialog(L"错误"), IDOK);
    ASSERT_TRUE(app->WaitForDialogsToClose());

    const HCURSOR elsewhere = cursorAt(app->main(), 300, 60);  // the title band of the picture
    // Windows shares its system cursors between processes, so there the
    // arrow is exactly the standard one; Wine loads them for each process.
    const HCURSOR systemArrow = LoadCursorW(nullptr, IDC_ARROW);
    if (systemArrow != cursorAt(app->Control(IDC_COMMAND1), 5, 5)) {
        std::printf("note: system cursors are not shared between processes here\n");
    } else {
        EXPECT_EQ(elsewhere, systemArrow);
    }
    ASSERT_NE(beam, nullptr);
    EXPECT_NE(beam, elsewhere);
    for (int id = IDC_LABEL1; id <= IDC_LABEL4; ++id) {
        SCOPED_TRACE(id);
        const HCURSOR overLabel = cursorAt(app->Control(id), 5, 5);
        ASSERT_NE(overLabel, nullptr);
        EXPECT_NE(overLabel, elsewhere) << "the arrow over a label";
        EXPECT_NE(overLabel, beam) << "an I-beam over a label";
        if (id > IDC_LABEL1) {
            EXPECT_EQ(overLabel, cursorAt(app->Control(IDC_LABEL1), 5, 5));
        }
        EXPECT_EQ(cursorAt(app->Control(IDC_LISTVIEW1), 200, 190), elsewhere);
        EXPECT_EQ(cursorAt(app->Control(IDC_COMMAND1), 5, 5), elsewhere);
    }
}

TEST_F(WindowLookTest, RelaysItselfOutWhenMovedToAnotherDpi) {
    // What Windows sends when the window lands on a 144 DPI monitor: the new DPI
    // and a suggested rectangle, which lives in the program's memory. The
    // suggestion is somewhere else, and a little larger than the program's own
    // reckoning (Windows' frame at the new DPI may differ): Windows' wins.
    RECT suggested{40, 30, 40 + 747 + 6, 30 + 515 + 4};
    AdjustWindowRectEx(&suggested, static_cast<DWORD>(GetWindowLongW(app->main(), GWL_STYLE)),
                       FALSE, static_cast<DWORD>(GetWindowLongW(app->main(), GWL_EXSTYLE)));
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, app->processId());
    ASSERT_TRUE(process);
    void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE,
                                  PAGE_READWRITE);
    ASSERT_TRUE(remote);
    WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr);
    SendMessageW(app->main(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);

    // Exactly where Windows asked, position and size.
    RECT placed{};
    GetWindowRect(app->main(), &placed);
    EXPECT_EQ(placed.left, suggested.left);
    EXPECT_EQ(placed.top, suggested.top);
    EXPECT_EQ(placed.right, suggested.right);
    EXPECT_EQ(placed.bottom, suggested.bottom);
    RECT client{};
    GetClientRect(app->main(), &client);
    EXPECT_EQ(client.right, 747 + 6);
    const RECT list = ClientRectOf(app->main(), app->Control(IDC_LISTVIEW1));
    EXPECT_EQ(list.left, 225);
    EXPECT_EQ(list.top, 137);  // 1365 twips at 144 DPI: 136.5, rounded as everywhere
    EXPECT_EQ(list.right - list.left, 501);
    EXPECT_EQ(list.bottom - list.top, 312);
    EXPECT_EQ(app->ListItems().size(), 4u);
}

TEST(ApplicationIcon, TheExeCarriesItInEveryExplorerSize) {
    // Window handles' class data cannot be read from another process, so the
    // icon is checked where Explorer and the window class both take it from.
    const std::wstring exe = ModuleFolder() + L"\\TorvaneRegTool.exe";
    HMODULE image = LoadLibraryExW(exe.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_TRUE(image);
    EXPECT_TRUE(FindResourceW(image, MAKEINTRESOURCEW(1), RT_GROUP_ICON));
    for (int size : {16, 32, 48, 256}) {
        SCOPED_TRACE(size);
        HICON icon =
            static_cast<HICON>(LoadImageW(image, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
        ASSERT_TRUE(icon);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap{};
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    FreeLibrary(image);
}

TEST(VersionRecord, ReadsBackAsBuilt) {
    const std::wstring exe = ModuleFolder() + L"\\TorvaneRegTool.exe";
    DWORD ignored = 0;
    std::vector<BYTE> data(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT length = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
        if (!VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
            return std::string();
        return Utf8(value);
    };
    EXPECT_EQ(text(L"CompanyName"), "Torvane");
    EXPECT_EQ(text(L"FileVersion"), "1.00");
    EXPECT_EQ(text(L"ProductVersion"), "1.00");
    EXPECT_EQ(text(L"ProductName"), Utf8(L"Torvane注册表修改工具"));
    EXPECT_EQ(text(L"OriginalFilename"), "TorvaneRegTool.exe");
    EXPECT_EQ(text(L"InternalName"), "TorvaneRegTool");
}

// Run by scripts/dpi-prefix-test in a prefix whose screen has another DPI.
class HighDpiTest : public InputBoxLook {
  protected:
    void SetUp() override {
        const char* dpi = std::getenv("TORVANE_E2E_DPI");
        if (!dpi) GTEST_SKIP() << "runs only in a prefix with another DPI";
        dpi_ = std::atoi(dpi);
        EndToEndTest::SetUp();
    }
    int dpi_ = 96;
};

TEST_F(HighDpiTest, TheInputBoxUsesTheWindowsFontAndFits) {
    ExpectTheWindowsFontAndRoomForEveryCaption();
}

TEST_F(HighDpiTest, EverythingScalesFromTheTwips) {
    RECT client{};
    GetClientRect(app->main(), &client);
    EXPECT_EQ(client.right, MulDiv(7470, dpi_, 1440));
    EXPECT_EQ(client.bottom, MulDiv(5145, dpi_, 1440));
    struct Twips {
        int id, left, top, width, height;
    };
    for (const Twips& t :
         {Twips{IDC_LABEL1, 705, 1920, 1095, 255}, Twips{IDC_LABEL4, 705, 3855, 855, 255},
          Twips{IDC_LISTVIEW1, 2250, 1365, 5010, 3120},
          Twips{IDC_COMMAND2, 5715, 4650, 945, 300}}) {
        SCOPED_TRACE(t.id);
        const RECT rect = ClientRectOf(app->main(), app->Control(t.id));
        EXPECT_EQ(rect.left, MulDiv(t.left, dpi_, 1440));
        EXPECT_EQ(rect.top, MulDiv(t.top, dpi_, 1440));
        EXPECT_EQ(rect.right - rect.left, MulDiv(t.width, dpi_, 1440));
        EXPECT_EQ(rect.bottom - rect.top, MulDiv(t.height, dpi_, 1440));
    }
    // The picture is scaled with the layout: the list still sits inside its outline.
    Sleep(200);
    ClientPixels pixels(app->main());
    const RECT list = ClientRectOf(app->main(), app->Control(IDC_LISTVIEW1));
    EXPECT_TRUE(IsDark(pixels.at(list.left - 1, (list.top + list.bottom) / 2)));
    EXPECT_TRUE(IsDark(pixels.at((list.left + list.right) / 2, list.bottom)));
}

}  // namespace
}  // namespace torvane::e2e
