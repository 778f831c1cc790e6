#include <gtest/gtest.h>
#include <string>

#include "platform/fake/fake_record_store.h"
#include "tests/native/task_tip_fixture.h"
#include "tweaks/reg_file.h"

namespace torvane {
namespace {

using testing::kDefaultDesktop;
using testing::kSystemPolicy;
using testing::kUserDesktop;
using testing::TaskTipTest;

TEST_F(TaskTipTest, BackupSaysWhenTheEditorIsBlocked) {
    ui.elevationState = ElevationState::UnelevatedAdministrator;
    registry.Put(RegistryRoot::CurrentUser, kSystemPolicy, L"DisableRegistryTools", DwordValue(0));
    registry.Put(RegistryRoot::LocalMachine, kSystemPolicy, L"DisableRegistryTools", DwordValue(1));
    EXPECT_EQ(
        testing::Utf8(Tip(L"备份注册表")),
        testing::Utf8(
            L"作用：导出整个注册表：把“regedit /e 你选择的文件”写入本程序文件夹中的 BackUp.bat "
            L"并运行它。本任务自己不改注册表。\r\n"
            L"用户策略：HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies"
            L"\\System 中的 DisableRegistryTools = 0（REG_DWORD）\r\n"
            L"本机策略：HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies"
            L"\\System 中的 DisableRegistryTools = 1（REG_DWORD）\r\n"
            L"注册表编辑器已被禁用，备份和还原一般无法运行。\r\n"
            L"Windows 10/11：只导出能读取的项，不保存权限；完整导出约 0.5 GB，需要几分钟。\r\n"
            L"生效：立即。\r\n"
            L"管理员权限：本程序在 Program Files 等只有管理员能写入的文件夹中时需要（为了写入 "
            L"BackUp.bat），在“下载”等你能写入的文件夹中不需要；regedit 会请管理员确认提升。"
            L"本程序现在没有管理员权限（你是管理员，可以以管理员身份重新启动本程序）。"));

    // A policy of 0 blocks nothing, nor does a value that is not a DWORD.
    registry.Put(RegistryRoot::LocalMachine, kSystemPolicy, L"DisableRegistryTools", DwordValue(0));
    EXPECT_EQ(Tip(L"还原注册表").find(L"已被禁用"), std::wstring::npos);
    registry.Put(RegistryRoot::CurrentUser, kSystemPolicy, L"DisableRegistryTools",
                 StringValue(L"1"));
    EXPECT_EQ(Tip(L"还原注册表").find(L"已被禁用"), std::wstring::npos);
    registry.Put(RegistryRoot::CurrentUser, kSystemPolicy, L"DisableRegistryTools", DwordValue(1));
    EXPECT_NE(Tip(L"还原注册表").find(L"\r\n注册表编辑器已被禁用，备份和还原一般无法运行。\r\n"),
              std::wstring::npos);
}

TEST_F(TaskTipTest, HungAppTimeoutShowsTheUsersOwnValueBeside) {
    ui.elevationState = ElevationState::Elevated;
    registry.Put(RegistryRoot::Users, kDefaultDesktop, L"WaitToKillAppTimeout",
                 StringValue(L"2500"));
    registry.RefuseReads(RegistryRoot::CurrentUser, kUserDesktop, 1234);
    EXPECT_EQ(
        testing::Utf8(Tip(L"缩短\u201C无响应程序\u201D等待时间")),
        testing::Utf8(L"修改：HKEY_USERS\\.DEFAULT\\Control Panel\\Desktop\r\n"
                      L"写入：WaitToKillAppTimeout = 你输入的秒数 × 1000，即毫秒数（REG_SZ）\r\n"
                      L"当前值：WaitToKillAppTimeout = “2500”（REG_SZ）\r\n"
                      L"你自己的值：HKEY_CURRENT_USER\\Control Panel\\Desktop 中的 "
                      L"WaitToKillAppTimeout 无法读取（错误 1234）\r\n"
                      L"Windows 10/11：大多不用：.DEFAULT 是 LocalSystem 账户的配置，"
                      L"不是登录用户的；登录用户用的是自己的值，未设置时为 5000 毫秒。\r\n"
                      L"生效：一般在下次关机时。\r\n"
                      L"管理员权限：需要。HKEY_USERS\\.DEFAULT 只有以管理员身份运行的程序"
                      L"能修改。本程序现在有管理员权限。\r\n右键单击可导出为 .reg 文件。"));
}

TEST_F(TaskTipTest, FileSystemTipInFull) {
    registry.Put(RegistryRoot::LocalMachine, L"SYSTEM\\CurrentControlSet\\Control\\FileSystem",
                 L"ConfigFileAllocsize", DwordValue(500));
    EXPECT_EQ(
        testing::Utf8(Tip(L"优化Windows文件系统")),
        testing::Utf8(L"修改：HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\"
                      L"FileSystem\r\n"
                      L"写入：ConfigFileAllocsize = 500（REG_DWORD）\r\n"
                      L"当前值：ConfigFileAllocsize = 500（REG_DWORD）\r\n"
                      L"Windows 10/11：一般不用：这是 Windows 9x 的文件系统设置，在那里的名字"
                      L"是 ContigFileAllocSize；Windows NT 系列（包括 Windows 10/11）的文档一般"
                      L"没有提到它，系统一般也不读取它。\r\n"
                      L"生效：一般不会生效。\r\n"
                      L"管理员权限：需要。HKEY_LOCAL_MACHINE 中的项只有以管理员身份运行的程序"
                      L"能修改。本程序现在没有管理员权限，你的账户也不是管理员。\r\n"
                      L"右键单击可导出为 .reg 文件。"));
}

// A tip that fills the room to its last character is shown whole; one more
// and its body is cut. The record's path, in the tail, sets the length.
TEST_F(TaskTipTest, ATipThatJustFitsIsNotCut) {
    FakeRecordStore store;
    store.file = EncodeRegFile(L"x");  // unreadable: the tip names the record
    store.path = L"D:\\记录.reg";
    context.originals = &store;
    const std::wstring shortTip = Tip(L"优化Windows文件系统");
    constexpr size_t kRoom = kTipSizeLimit - 1;
    ASSERT_LT(shortTip.size(), kRoom);
    const std::wstring shortPath = store.path;
    store.path = std::wstring(kRoom - shortTip.size(), L'长') + shortPath;
    std::wstring whole = shortTip;
    whole.replace(whole.find(shortPath), shortPath.size(), store.path);
    EXPECT_EQ(testing::Utf8(Tip(L"优化Windows文件系统")), testing::Utf8(whole));

    store.path = L'长' + store.path;
    const std::wstring cut = Tip(L"优化Windows文件系统");
    EXPECT_EQ(cut.size(), kRoom);
    EXPECT_NE(cut.find(L"…\r\n管理员权限："), std::wstring::npos) << testing::Utf8(cut);
}

}  // namespace
}  // namespace torvane
