#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "tests/e2e/e2e_fixture.h"

namespace torvane::e2e {
namespace {

const std::vector<std::vector<ListItemSeen>> kCategoryItems{
    {{L"备份注册表", 2},
     {L"还原注册表", 2},
     {L"禁用注册表编辑器", 2},
     {L"允许使用注册表编辑器", 2}},
    {{L"设置磁盘空间不够的警戒值", 0}},
    {{L"设置登录时的桌面背景", 3},
     {L"设置桌面图标大小", 3},
     {L"隐藏桌面所有图标", 3},
     {L"在任务栏时间后面加入字符", 3},
     {L"设置主题桌面", 3}},
    {{L"缩短\u201C无响应程序\u201D等待时间", 1},
     {L"从内存中卸载无用的DLL文件", 1},
     {L"优化Windows文件系统", 1}},
};

std::string Describe(const std::vector<ListItemSeen>& items) {
    std::string out;
    for (const auto& item : items) out += Utf8(item.text) + "#" + std::to_string(item.image) + " ";
    return out;
}

using MainWindowTest = EndToEndTest;

TEST_F(MainWindowTest, TitleAndClientAreaAt96Dpi) {
    EXPECT_EQ(Utf8(WindowText(app->main())), Utf8(L"Torvane注册表修改工具1.0 www.torvane.example"));
    RECT client{};
    GetClientRect(app->main(), &client);
    EXPECT_EQ(client.right, 498);
    EXPECT_EQ(client.bottom, 343);
    const LONG style = GetWindowLongW(app->main(), GWL_STYLE);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
}

TEST_F(MainWindowTest, ControlsStandAtTheirPlaces) {
    struct Place {
        int id;
        RECT rect;
        const wchar_t* text;
    };
    const Place places[] = {
        {IDC_LABEL1, {47, 128, 120, 145}, L"注册表管理"},
        {IDC_LABEL2, {47, 171, 136, 188}, L"磁盘与文件管理"},
        {IDC_LABEL3, {47, 214, 104, 231}, L"桌面管理"},
        {IDC_LABEL4, {47, 257, 104, 274}, L"系统优化"},
        {IDC_LISTVIEW1, {150, 91, 484, 299}, L""},
        {IDC_COMMAND1, {278, 310, 341, 330}, L"确定"},
        {IDC_COMMAND2, {381, 310, 444, 330}, L"退出"},
    };
    for (const Place& place : places) {
        SCOPED_TRACE(place.id);
        HWND control = app->Control(place.id);
        ASSERT_TRUE(control);
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, app->main(), reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, place.rect.left);
        EXPECT_EQ(rect.top, place.rect.top);
        EXPECT_EQ(rect.right, place.rect.right);
        EXPECT_EQ(rect.bottom, place.rect.bottom);
        if (place.id != IDC_LISTVIEW1) {
            EXPECT_EQ(Utf8(WindowText(control)), Utf8(place.text));
        }
        EXPECT_TRUE(IsWindowVisible(control));
        EXPECT_TRUE(IsWindowEnabled(control));
    }
}

TEST_F(MainWindowTest, StartsWithTheRegistryTasksAndNothingSelected) {
    EXPECT_EQ(Describe(app->ListItems()), Describe(kCategoryItems[0]));
    EXPECT_EQ(app->SelectedItem(), -1);
}

TEST_F(MainWindowTest, EachLabelRefillsTheList) {
    for (int label : {2, 3, 4, 1, 4, 4}) {
        SCOPED_TRACE(label);
        app->ClickLabel(label);
        EXPECT_EQ(Describe(app->ListItems()), Describe(kCategoryItems[label - 1]));
    }
}

TEST_F(MainWindowTest, OkWithNothingSelectedDoesNothing) {
    // 禁用注册表编辑器, in the list shown, would write at once without asking.
    const std::wstring policy = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
    DeleteValue(HKEY_CURRENT_USER, policy, L"DisableRegistryTools");
    app->ClickButtonAndWait(IDC_COMMAND1);
    ExpectNoDialog();
    EXPECT_TRUE(app->Running());
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, policy, L"DisableRegistryTools"), std::nullopt);
}

TEST_F(MainWindowTest, ADoubleClickOnOkRunsTheTaskOnce) {
    const std::wstring explorer =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
    DeleteValue(HKEY_CURRENT_USER, explorer, L"NoDesktop");
    app->ClickLabel(3);
    app->SelectItem(2);  // 隐藏桌面所有图标: asks first
    // The second click is queued before the question shows, as a quick
    // double-click's is.
    PostMessageW(app->Control(IDC_COMMAND1), BM_CLICK, 0, 0);
    PostMessageW(app->Control(IDC_COMMAND1), BM_CLICK, 0, 0);
    DialogSeen question = ExpectDialog(L"确认");
    Sleep(300);
    EXPECT_EQ(app->OpenDialogs().size(), 1u) << "a second question was opened";
    app->PressDialogButton(question, IDYES);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    Sleep(300);
    EXPECT_TRUE(app->OpenDialogs().empty()) << "the task ran a second time";
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, explorer, L"NoDesktop"), DwordBytes(1));
    DeleteValue(HKEY_CURRENT_USER, explorer, L"NoDesktop");
}

TEST_F(MainWindowTest, TheFocusComesBackToItsControlAfterAMessageBox) {
    auto focus = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(app->main(), nullptr), &info);
        return info.hwndFocus;
    };
    app->ClickLabel(3);
    app->SelectItem(2);
    ASSERT_EQ(focus(), app->Control(IDC_LISTVIEW1));
    // A click gives the button the focus, as a mouse click does; the question
    // then takes it, and closing the question must give it back to the button,
    // not to the frame, where no key does anything.
    app->ClickButton(IDC_COMMAND1);
    app->PressDialogButton(ExpectDialog(L"确认"), IDNO);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(focus(), app->Control(IDC_COMMAND1));
    // A real Tab key goes on from there, as in a dialog.
    INPUT keys[2]{};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_TAB;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
    for (int i = 0; i < 50 && focus() != app->Control(IDC_COMMAND2); ++i) Sleep(20);
    EXPECT_EQ(focus(), app->Control(IDC_COMMAND2));
    ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
    for (int i = 0; i < 50 && focus() != app->Control(IDC_LISTVIEW1); ++i) Sleep(20);
    EXPECT_EQ(focus(), app->Control(IDC_LISTVIEW1));

    // Switching to another program and back (Alt-Tab) returns to the list too.
    HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                 50, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    for (int i = 0; i < 50 && GetForegroundWindow() != other; ++i) Sleep(20);
    ASSERT_EQ(GetForegroundWindow(), other);
    SetForegroundWindow(app->main());
    for (int i = 0; i < 50 && focus() != app->Control(IDC_LISTVIEW1); ++i) Sleep(20);
    EXPECT_EQ(focus(), app->Control(IDC_LISTVIEW1));
    DestroyWindow(other);
}

TEST_F(MainWindowTest, ExitEndsTheProgram) {
    app->ClickButton(IDC_COMMAND2);
    EXPECT_TRUE(app->WaitForExit());
}

TEST_F(MainWindowTest, TheCloseBoxEndsTheProgram) {
    PostMessageW(app->main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(app->WaitForExit());
}

TEST_F(MainWindowTest, OkRunsTheSelectedTaskAndKeepsListAndSelection) {
    app->ClickLabel(3);
    app->SelectItem(2);  // 隐藏桌面所有图标
    app->ClickButton(IDC_COMMAND1);
    DialogSeen question = ExpectDialog(L"确认");
    EXPECT_EQ(Utf8(question.text), Utf8(L"是否隐藏桌面所有图标？是：隐藏、否：恢复隐藏"));
    app->PressDialogButton(question, IDNO);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(Describe(app->ListItems()), Describe(kCategoryItems[2]));
    EXPECT_EQ(app->SelectedItem(), 2);
    // The same task again at once.
    app->ClickButton(IDC_COMMAND1);
    app->PressDialogButton(ExpectDialog(L"确认"), IDNO);
    ASSERT_TRUE(app->WaitForDialogsToClose());
}

}  // namespace
}  // namespace torvane::e2e
