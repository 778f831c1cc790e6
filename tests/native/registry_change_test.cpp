#include "tweaks/registry_change.h"

#include <gtest/gtest.h>

#include "tests/native/test_support.h"
#include "tweaks/mod_regSetting.h"

namespace torvane {
namespace {

const std::wstring kPolicy = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

class RegistryFailureTest : public testing::TaskTest {};

TEST_F(RegistryFailureTest, AccessDeniedOnOpenIsShownOnceWithAdvice) {
    registry.RefuseOpen(RegistryRoot::CurrentUser, kPolicy, kErrorAccessDenied);
    mod_regSetting::DisableRegistryEditor(context);
    EXPECT_EQ(ui.log, (std::vector<UiEvent>{MessageBoxEvent(
                          L"修改注册表失败：HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\"
                          L"CurrentVersion\\Policies\\System\r\n拒绝访问。\r\n"
                          L"请以管理员身份运行本程序后重试。",
                          0, L"错误")}));
    EXPECT_EQ(registry.ValueCount(), 0u);
}

TEST_F(RegistryFailureTest, OnlyAnUnelevatedAdministratorIsOfferedARestart) {
    const std::wstring failure =
        L"修改注册表失败：HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\FileSystem"
        L"\r\n拒绝访问。\r\n请以管理员身份运行本程序后重试。";
    registry.RefuseOpen(RegistryRoot::LocalMachine,
                        L"SYSTEM\\CurrentControlSet\\Control\\FileSystem", kErrorAccessDenied);
    for (const ElevationState state : {ElevationState::StandardUser, ElevationState::Elevated}) {
        ui.log.clear();
        ui.elevationState = state;
        mod_regSetting::OptimizeFileSystem(context);
        EXPECT_EQ(ui.log, (std::vector<UiEvent>{MessageBoxEvent(failure, 0, L"错误")}));
    }
    ui.log.clear();
    ui.elevationState = ElevationState::UnelevatedAdministrator;
    ui.messageBoxAnswers = {kAnswerYes};
    mod_regSetting::OptimizeFileSystem(context);
    EXPECT_EQ(ui.log, (std::vector<UiEvent>{
                          MessageBoxEvent(failure + L"\r\n是否以管理员身份重新启动本程序？重新启动"
                                                    L"后请再次执行此任务。",
                                          4, L"错误"),
                          {L"RestartElevated", L"", L"", L"", -1},
                          {L"CloseMainWindow", L"", L"", L"", -1}}));
    // Other failures are not a matter of rights: no offer.
    ui.log.clear();
    registry.RefuseWrites(RegistryRoot::CurrentUser, kPolicy, 1009);
    mod_regSetting::DisableRegistryEditor(context);
    ASSERT_EQ(ui.log.size(), 1u);
    EXPECT_EQ(ui.log[0].buttons, 0);
}

TEST_F(RegistryFailureTest, OtherErrorsCarryNoAdvice) {
    registry.RefuseWrites(RegistryRoot::LocalMachine,
                          L"SYSTEM\\CurrentControlSet\\Control\\FileSystem", 1009);
    mod_regSetting::OptimizeFileSystem(context);
    EXPECT_EQ(ui.log,
              (std::vector<UiEvent>{MessageBoxEvent(
                  L"修改注册表失败：HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\"
                  L"FileSystem\r\n错误 1009",
                  0, L"错误")}));
}

TEST_F(RegistryFailureTest, FirstFailedWriteStopsTheRestAndIsShownOnce) {
    registry.RefuseWrites(RegistryRoot::CurrentUser, L"Control Panel\\International",
                          kErrorAccessDenied);
    ui.inputBoxAnswers = {L"am", L"pm"};
    mod_regSetting::SetClockText(context);
    ASSERT_EQ(ui.log.size(), 3u);  // two input boxes, one failure message
    EXPECT_EQ(ui.log[2].kind, L"MessageBox");
    EXPECT_EQ(ui.log[2].title, L"错误");
    EXPECT_EQ(registry.ValueCount(), 0u);
    EXPECT_EQ(ui.openKeysAtMessageBox, std::vector<int>{0})
        << "the key is closed before the message";
}

TEST_F(RegistryFailureTest, DeletingAMissingValueIsNotAFailure) {
    mod_regSetting::EnableRegistryEditor(context);
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(registry.KeyExists(RegistryRoot::CurrentUser, kPolicy));
}

TEST_F(RegistryFailureTest, ARefusedDeleteIsReported) {
    registry.Put(RegistryRoot::CurrentUser, kPolicy, L"DisableRegistryTools", DwordValue(1));
    registry.RefuseWrites(RegistryRoot::CurrentUser, kPolicy, kErrorAccessDenied);
    mod_regSetting::EnableRegistryEditor(context);
    ASSERT_EQ(ui.log.size(), 1u);
    EXPECT_EQ(registry.Value(RegistryRoot::CurrentUser, kPolicy, L"DisableRegistryTools"),
              DwordValue(1));
}

}  // namespace
}  // namespace torvane
