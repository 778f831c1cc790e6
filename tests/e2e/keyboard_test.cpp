// Everything from the keyboard alone, with real key presses: the categories,
// the tasks, running one, and the tips.
#include <windows.h>

#include "tests/e2e/tip_fixture.h"

namespace torvane::e2e {
namespace {

// Each category's tasks: how many, and the first and last.
struct CategorySeen {
    size_t count;
    std::wstring first;
    std::wstring last;
};
const CategorySeen kCategories[]{
    {4, L"备份注册表", L"允许使用注册表编辑器"},
    {1, L"设置磁盘空间不够的警戒值", L"设置磁盘空间不够的警戒值"},
    {5, L"设置登录时的桌面背景", L"设置主题桌面"},
    {3, L"缩短\u201C无响应程序\u201D等待时间", L"优化Windows文件系统"},
};

class KeyboardTest : public TipTest {
  protected:
    void SetUp() override {
        DeleteFileW(RecordPath().c_str());
        TipTest::SetUp();
        MoveMouseTo({0, 0});  // off the window: no hover tip, and no move later
        SetForegroundWindow(app->main());
    }

    static void WithControl(WORD key, bool shift = false) {
        if (shift)
            Keys({{VK_CONTROL, true},
                  {VK_SHIFT, true},
                  {key, true},
                  {key, false},
                  {VK_SHIFT, false},
                  {VK_CONTROL, false}});
        if (!shift) Keys({{VK_CONTROL, true}, {key, true}, {key, false}, {VK_CONTROL, false}});
    }

    // Waits for the keys to be taken: the list shows this category.
    bool Shows(int label) {
        const CategorySeen& expected = kCategories[label - 1];
        for (int i = 0; i < 100; ++i) {
            const auto items = app->ListItems();
            if (items.size() == expected.count && items.front().text == expected.first &&
                items.back().text == expected.last)
                return true;
            Sleep(20);
        }
        return false;
    }

    bool Selects(int item) {
        for (int i = 0; i < 100 && app->SelectedItem() != item; ++i) Sleep(20);
        return app->SelectedItem() == item;
    }

    HWND Focus() {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(app->main(), nullptr), &info);
        return info.hwndFocus;
    }
};

TEST_F(KeyboardTest, CtrlTabAndCtrlPageDownWalkTheCategoriesAndWrap) {
    Press(VK_TAB);  // the focus on 确定: a switch brings it to the list
    for (int i = 0; i < 100 && Focus() != app->Control(IDC_COMMAND1); ++i) Sleep(20);
    ASSERT_EQ(Focus(), app->Control(IDC_COMMAND1));
    const struct {
        WORD key;
        bool shift;
        int shown;
    } steps[]{{VK_TAB, false, 2}, {VK_TAB, false, 3},  {VK_TAB, false, 4},  {VK_TAB, false, 1},
              {VK_TAB, true, 4},  {VK_NEXT, false, 1}, {VK_PRIOR, false, 4}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.shown);
        WithControl(step.key, step.shift);
        EXPECT_TRUE(Shows(step.shown));
        // Wine keeps no hidden focus cues (WM_CHANGEUISTATE's UIS_SET leaves
        // WM_QUERYUISTATE at 0), so only the focus itself can be checked here.
        EXPECT_EQ(Focus(), app->Control(IDC_LISTVIEW1));
    }
}

TEST_F(KeyboardTest, ATaskOfSystemOptimisationRunsFromTheKeyboardAlone) {
    const std::wstring key = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
    const auto before = ReadValue(HKEY_LOCAL_MACHINE, key, L"ConfigFileAllocsize");
    PutValue(HKEY_LOCAL_MACHINE, key, L"ConfigFileAllocsize", DwordBytes(7));
    WithControl(VK_TAB, true);  // back round to 系统优化
    ASSERT_TRUE(Shows(4));
    Press(VK_END);  // 优化Windows文件系统
    ASSERT_TRUE(Selects(2));
    Press(VK_TAB);    // to 确定
    Press(VK_SPACE);  // pressed
    EXPECT_EQ(SettledValue(HKEY_LOCAL_MACHINE, key, L"ConfigFileAllocsize", DwordBytes(500)),
              DwordBytes(500));
    if (before) PutValue(HKEY_LOCAL_MACHINE, key, L"ConfigFileAllocsize", *before);
    if (!before) DeleteValue(HKEY_LOCAL_MACHINE, key, L"ConfigFileAllocsize");
}

TEST_F(KeyboardTest, TheFirstKeyAfterAFillSelectsTheFirstTaskAndEndTheLast) {
    Press(VK_DOWN);
    EXPECT_TRUE(Selects(0)) << "selected: " << app->SelectedItem();
    WithControl(VK_TAB);
    WithControl(VK_TAB);
    ASSERT_TRUE(Shows(3));
    Press(VK_END);
    EXPECT_TRUE(Selects(4)) << "selected: " << app->SelectedItem();
}

// The menu's items have access keys: Shift+F10, then E runs the task.
TEST_F(KeyboardTest, TheMenusAccessKeyRunsTheTask) {
    DeleteValue(HKEY_CURRENT_USER, kSystemPolicy, L"DisableRegistryTools");
    Press(VK_END);   // 允许使用注册表编辑器
    Press(VK_LEFT);  // 禁用注册表编辑器, beside it
    ASSERT_TRUE(Selects(2));
    Keys({{VK_SHIFT, true}, {VK_F10, true}, {VK_F10, false}, {VK_SHIFT, false}});
    HWND menu = WaitForMenu(app->processId());
    ASSERT_TRUE(menu);
    WaitForMenuLoop(menu);
    Press('E');
    EXPECT_EQ(WaitForValue(HKEY_CURRENT_USER, kSystemPolicy, L"DisableRegistryTools"),
              DwordBytes(1));
    DeleteValue(HKEY_CURRENT_USER, kSystemPolicy, L"DisableRegistryTools");
}

// The tip appears below the task a key selects, on the screen, with the text
// hovering shows; the next key's task takes its place, and Esc puts it away.
TEST_F(KeyboardTest, AKeyboardSelectionShowsItsTipBelowTheItem) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(app->main(), MONITOR_DEFAULTTONEAREST), &monitor);
    for (int label = 1; label <= 4; ++label) {
        SCOPED_TRACE(label);
        if (label > 1) WithControl(VK_TAB);
        ASSERT_TRUE(Shows(label));
        const auto& tips = kTips[label - 1];
        for (const WORD key : {VK_DOWN, VK_END}) {
            const size_t item = key == VK_DOWN ? 0 : tips.size() - 1;
            if (key == VK_END && item == 0) continue;
            Press(key);
            const std::wstring tip = ReadNewTip();
            EXPECT_NE(tip.find(tips[item].keyPath), std::wstring::npos) << Utf8(tip);
            EXPECT_NE(tip.find(tips[item].own), std::wstring::npos) << Utf8(tip);
            RECT shown{};
            GetWindowRect(VisibleTip(), &shown);
            const RECT task = app->ItemScreenRect(static_cast<int>(item));
            EXPECT_GE(shown.top, task.bottom);
            EXPECT_LT(shown.left, task.right);
            EXPECT_GE(shown.left, monitor.rcWork.left);
            EXPECT_LE(shown.right, monitor.rcWork.right);
            EXPECT_LE(shown.bottom, monitor.rcWork.bottom);
        }
        Press(VK_ESCAPE);
        EXPECT_TRUE(WaitForNoTip()) << "Esc left the tip up";
        EXPECT_TRUE(app->Running());
    }
}

}  // namespace
}  // namespace torvane::e2e
