#include "tests/e2e/window_look.h"

#include <cstdio>

namespace torvane::e2e {
namespace {

// The driver measures in physical pixels whatever the program's DPI.
const bool kDpiAware = SetProcessDPIAware();

bool IsRed(COLORREF c) {
    return GetRValue(c) > 200 && GetGValue(c) < 90 && GetBValue(c) < 90;
}
std::string Hex(COLORREF c) {
    char text[16];
    snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

TEST_F(WindowLookTest, TheInputBoxUsesTheWindowsFontAndFits) {
    ExpectTheWindowsFontAndRoomForEveryCaption();
}

TEST_F(WindowLookTest, LabelsAreRedTextOnThePicture) {
    ClientPixels pixels(app->main());
    for (int id = IDC_LABEL1; id <= IDC_LABEL4; ++id) {
        SCOPED_TRACE(id);
        const RECT rect = ClientRectOf(app->main(), app->Control(id));
        int red = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x) red += IsRed(pixels.at(x, y));
        EXPECT_GT(red, 20) << "no red text";
        // Transparent: the label's empty right end shows the same cream as the
        // panel just left of the label, not a box of its own.
        const COLORREF panel = pixels.at(rect.left - 3, rect.top + 1);
        EXPECT_EQ(Hex(pixels.at(rect.right - 2, rect.top + 1)), Hex(panel));
        EXPECT_NE(Hex(panel), Hex(GetSysColor(COLOR_BTNFACE)));
    }
}

TEST_F(WindowLookTest, TheListCoversExactlyTheWhiteAreaOfThePicture) {
    ClientPixels pixels(app->main());
    const RECT list = ClientRectOf(app->main(), app->Control(IDC_LISTVIEW1));
    ASSERT_EQ(list.left, 150);
    ASSERT_EQ(list.top, 91);
    EXPECT_EQ(Hex(pixels.at(list.right - 5, list.bottom - 5)), "#FFFFFF");
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
    for (int id = IDC_LABEL1; id <= IDC_LABEL4; ++id)
        EXPECT_FALSE(GetWindowLongW(app->Control(id), GWL_STYLE) & WS_TABSTOP);
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

}  // namespace
}  // namespace torvane::e2e
