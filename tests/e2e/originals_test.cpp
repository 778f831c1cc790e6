// Putting values back, through the task list's menu, with the real mouse and
// keyboard.
#include "tests/e2e/task_menu_fixture.h"

namespace torvane::e2e {
namespace {

const std::wstring kPolicy = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const std::wstring kExplorer = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::wstring kMetrics = L"Control Panel\\Desktop\\WindowMetrics";
const std::wstring kFileSystem = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";

using OriginalsEndToEndTest = TaskMenuTest;

TEST_F(OriginalsEndToEndTest, RightClickRunThenRestoreDeletesAValueThatWasAbsent) {
    DeleteValue(HKEY_CURRENT_USER, kPolicy, L"DisableRegistryTools");
    app->ClickLabel(1);
    RightClickItem(2);  // 禁用注册表编辑器
    Choose(1);          // 执行
    ASSERT_EQ(WaitForValue(HKEY_CURRENT_USER, kPolicy, L"DisableRegistryTools"), DwordBytes(1));
    RightClickItem(2);
    Choose(2);  // 恢复原值
    DialogSeen question = ExpectDialog(L"恢复原值");
    EXPECT_EQ(Utf8(question.text),
              Utf8(L"是否把以下值恢复为原值？\r\n\r\n【禁用注册表编辑器】\r\n"
                   L"注册表项：HKEY_CURRENT_USER\\" +
                   kPolicy +
                   L"\r\n\u3000\u3000DisableRegistryTools：现在 1，恢复为 未设置（将删除此值）"));
    app->PressDialogButton(question, IDYES);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(SettledValue(HKEY_CURRENT_USER, kPolicy, L"DisableRegistryTools", std::nullopt),
              std::nullopt);
}

// The task writes a string; the original was a DWORD, and a DWORD it becomes.
TEST_F(OriginalsEndToEndTest, ARegDwordOriginalComesBackAsRegDword) {
    PutValue(HKEY_CURRENT_USER, kMetrics, L"Shell Icon Size", DwordBytes(48));
    app->ClickLabel(3);
    RightClickItem(1);  // 设置桌面图标大小
    Choose(1);
    app->AnswerInputBox(ExpectDialog(L"按百分比输入"), L"32");
    ASSERT_EQ(SettledValue(HKEY_CURRENT_USER, kMetrics, L"Shell Icon Size", StringBytes(L"32")),
              StringBytes(L"32"));
    RightClickItem(1);
    Choose(2);
    app->PressDialogButton(ExpectDialog(L"恢复原值"), IDYES);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(SettledValue(HKEY_CURRENT_USER, kMetrics, L"Shell Icon Size", DwordBytes(48)),
              DwordBytes(48));
}

// The record outlives the program; Shift+F10 opens the selected task's menu.
TEST_F(OriginalsEndToEndTest, AfterARestartShiftF10Restores) {
    PutValue(HKEY_CURRENT_USER, kExplorer, L"NoDesktop", StringBytes(L"mine"));
    DeleteValue(HKEY_CURRENT_USER, kPolicy, L"DisableRegistryTools");
    app->SelectItem(2);  // 禁用注册表编辑器, another task, whose original stays
    app->ClickButton(IDC_COMMAND1);
    ASSERT_EQ(WaitForValue(HKEY_CURRENT_USER, kPolicy, L"DisableRegistryTools"), DwordBytes(1));
    app->ClickLabel(3);
    app->SelectItem(2);  // 隐藏桌面所有图标
    app->ClickButton(IDC_COMMAND1);
    app->PressDialogButton(ExpectDialog(L"确认"), IDYES);
    ASSERT_EQ(SettledValue(HKEY_CURRENT_USER, kExplorer, L"NoDesktop", DwordBytes(1)),
              DwordBytes(1));
    app->ClickButton(IDC_COMMAND2);
    ASSERT_TRUE(app->WaitForExit());

    app = std::make_unique<AppDriver>(InstalledExe());
    ASSERT_TRUE(app->WaitForMainWindow());
    SetForegroundWindow(app->main());
    app->ClickLabel(3);
    ClickItem(2);
    ShiftF10();
    Choose(2);  // 恢复原值
    DialogSeen question = ExpectDialog(L"恢复原值");
    EXPECT_EQ(question.text.find(L"DisableRegistryTools"), std::wstring::npos);
    app->PressDialogButton(question, IDYES);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(SettledValue(HKEY_CURRENT_USER, kExplorer, L"NoDesktop", StringBytes(L"mine")),
              StringBytes(L"mine"));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kPolicy, L"DisableRegistryTools"), DwordBytes(1));
    DeleteValue(HKEY_CURRENT_USER, kPolicy, L"DisableRegistryTools");
}

// The keyboard's menu comes as x = y = -1 in the low 32 bits of lParam;
// nothing promises the bits above are set too.
TEST_F(OriginalsEndToEndTest, AKeyboardMenuPointWithoutSignExtensionIsTheSelectedTasks) {
    DeleteValue(HKEY_CURRENT_USER, kPolicy, L"DisableRegistryTools");
    app->SelectItem(2);  // 禁用注册表编辑器
    PostMessageW(app->main(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(app->Control(IDC_LISTVIEW1)),
                 static_cast<LPARAM>(0x00000000FFFFFFFFull));
    Choose(1);  // 执行
    EXPECT_EQ(WaitForValue(HKEY_CURRENT_USER, kPolicy, L"DisableRegistryTools"), DwordBytes(1));
    DeleteValue(HKEY_CURRENT_USER, kPolicy, L"DisableRegistryTools");
}

// On the empty part of the list the menu holds 全部恢复原值 alone, and it puts
// back what tasks of two categories changed.
TEST_F(OriginalsEndToEndTest, RestoreAllCoversTwoCategories) {
    DeleteValue(HKEY_CURRENT_USER, kPolicy, L"DisableRegistryTools");
    PutValue(HKEY_LOCAL_MACHINE, kFileSystem, L"ConfigFileAllocsize", DwordBytes(7));
    app->ClickLabel(1);
    RightClickItem(2);  // 禁用注册表编辑器
    Choose(1);
    ASSERT_EQ(WaitForValue(HKEY_CURRENT_USER, kPolicy, L"DisableRegistryTools"), DwordBytes(1));
    app->ClickLabel(4);
    RightClickItem(2);  // 优化Windows文件系统
    Choose(1);
    ASSERT_EQ(
        SettledValue(HKEY_LOCAL_MACHINE, kFileSystem, L"ConfigFileAllocsize", DwordBytes(500)),
        DwordBytes(500));
    RightClickEmptyList();
    Choose(1);  // 全部恢复原值
    DialogSeen question = ExpectDialog(L"恢复原值");
    EXPECT_NE(question.text.find(L"DisableRegistryTools"), std::wstring::npos);
    EXPECT_NE(question.text.find(L"ConfigFileAllocsize"), std::wstring::npos);
    app->PressDialogButton(question, IDYES);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(SettledValue(HKEY_CURRENT_USER, kPolicy, L"DisableRegistryTools", std::nullopt),
              std::nullopt);
    EXPECT_EQ(SettledValue(HKEY_LOCAL_MACHINE, kFileSystem, L"ConfigFileAllocsize", DwordBytes(7)),
              DwordBytes(7));
}

// The record is a registry file: imported by hand, it puts back the same as
// the program does.
TEST_F(OriginalsEndToEndTest, ImportingTheRecordEqualsTheProgramsRestore) {
    PutValue(HKEY_CURRENT_USER, kMetrics, L"Shell Icon Size", DwordBytes(48));
    DeleteValue(HKEY_CURRENT_USER, kExplorer, L"NoDesktop");
    const auto runBoth = [&] {
        app->ClickLabel(3);
        RightClickItem(1);  // 设置桌面图标大小
        Choose(1);
        app->AnswerInputBox(ExpectDialog(L"按百分比输入"), L"64");
        ASSERT_EQ(SettledValue(HKEY_CURRENT_USER, kMetrics, L"Shell Icon Size", StringBytes(L"64")),
                  StringBytes(L"64"));
        RightClickItem(2);  // 隐藏桌面所有图标
        Choose(1);
        app->PressDialogButton(ExpectDialog(L"确认"), IDYES);
        ASSERT_EQ(SettledValue(HKEY_CURRENT_USER, kExplorer, L"NoDesktop", DwordBytes(1)),
                  DwordBytes(1));
    };
    const auto values = [&] {
        return std::make_pair(ReadValue(HKEY_CURRENT_USER, kMetrics, L"Shell Icon Size"),
                              ReadValue(HKEY_CURRENT_USER, kExplorer, L"NoDesktop"));
    };
    runBoth();
    const std::wstring copy = ModuleFolder() + L"\\record-copy.reg";
    ASSERT_TRUE(CopyFileW(RecordPath().c_str(), copy.c_str(), FALSE));
    ASSERT_EQ(RunToExit(L"regedit.exe /s \"" + copy + L"\""), 0u);
    const auto imported = values();
    DeleteFileW(copy.c_str());

    runBoth();
    RightClickEmptyList();
    Choose(1);
    app->PressDialogButton(ExpectDialog(L"恢复原值"), IDYES);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    for (int i = 0; i < 100 && values() != imported; ++i) Sleep(50);
    EXPECT_EQ(values(), imported);
    EXPECT_EQ(imported,
              std::make_pair(std::optional<RawValue>(DwordBytes(48)), std::optional<RawValue>()));
}

}  // namespace
}  // namespace torvane::e2e
