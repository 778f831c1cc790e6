#include "tweaks/registry_change.h"

#include <gtest/gtest.h>

#include "tests/native/test_support.h"
#include "tweaks/mod_regSetting.h"

namespace torvane {
namespace {

const std::wstring kPolicy = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

class RegistryFailureTest : public testing::TaskTest {};

// Access denied, by who runs the program and what was refused: the advice
// that fits, and a restart offered to an administrator without elevation only.
struct DeniedCase {
    const char* name;
    ElevationState state;
    RegistryRoot root;
    std::wstring path;  // "" for the backup's batch file
    const wchar_t* advice;
};
void PrintTo(const DeniedCase& c, std::ostream* out) {
    *out << c.name;
}

using testing::kPolicyAdvice;
using testing::kRunAsAdministrator;
const wchar_t* const kMoveAdvice =
    L"\r\n请把本程序放到你能写入的文件夹（例如\u201C下载\u201D）后重试。";
const wchar_t* const kRestartQuestion =
    L"\r\n是否以管理员身份重新启动本程序？重新启动后请再次执行此任务。";
const std::wstring kFileSystem = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
const std::wstring kDefaultDesktop = L".DEFAULT\\Control Panel\\Desktop";
const std::wstring kMetrics = L"Control Panel\\Desktop\\WindowMetrics";

class AccessDeniedTest : public testing::TaskTest,
                         public ::testing::WithParamInterface<DeniedCase> {
  protected:
    // Runs the task that writes there, and gives the failure as it is shown.
    std::wstring RunRefused(const DeniedCase& c) {
        if (c.path.empty()) {
            ui.writeError = kErrorAccessDenied;
            ui.commonDialog1.answers = {L"C:\\x.reg"};
            mod_regSetting::BackupRegistry(context);
            return L"无法写入备份脚本：C:\\Torvane\\BackUp.bat\r\n拒绝访问。";
        }
        registry.RefuseOpen(c.root, c.path, kErrorAccessDenied);
        ui.inputBoxAnswers = {L"5"};
        if (c.path == kPolicy) mod_regSetting::DisableRegistryEditor(context);
        if (c.path == kFileSystem) mod_regSetting::OptimizeFileSystem(context);
        if (c.path == kDefaultDesktop) mod_regSetting::SetHungAppTimeout(context);
        if (c.path == kMetrics) mod_regSetting::SetDesktopIconSize(context);
        return L"修改注册表失败：" + RootName(c.root) + L"\\" + c.path + L"\r\n拒绝访问。";
    }
};

TEST_P(AccessDeniedTest, AdviceFitsTheUserAndTheTarget) {
    const DeniedCase& c = GetParam();
    ui.elevationState = c.state;
    ui.messageBoxAnswers = {kAnswerNo};
    const std::wstring failure = RunRefused(c) + c.advice;
    std::vector<UiEvent> shown;
    for (const UiEvent& event : ui.log)
        if (event.kind == L"MessageBox") shown.push_back(event);
    if (c.state == ElevationState::UnelevatedAdministrator) {
        EXPECT_EQ(shown,
                  std::vector<UiEvent>{MessageBoxEvent(failure + kRestartQuestion, 4, L"错误")});
    } else {
        EXPECT_EQ(shown, std::vector<UiEvent>{MessageBoxEvent(failure, 0, L"错误")});
    }
    EXPECT_EQ(registry.ValueCount(), 0u);
    EXPECT_TRUE(ui.files.empty());
}

constexpr auto kAdmin = ElevationState::UnelevatedAdministrator;
constexpr auto kStandard = ElevationState::StandardUser;
constexpr auto kElevated = ElevationState::Elevated;
constexpr auto kUser = RegistryRoot::CurrentUser;
constexpr auto kMachine = RegistryRoot::LocalMachine;
constexpr auto kUsers = RegistryRoot::Users;

INSTANTIATE_TEST_SUITE_P(
    Rows, AccessDeniedTest,
    ::testing::Values(
        DeniedCase{"AdministratorPolicy", kAdmin, kUser, kPolicy, kRunAsAdministrator},
        DeniedCase{"AdministratorMachine", kAdmin, kMachine, kFileSystem, kRunAsAdministrator},
        DeniedCase{"AdministratorBatchFile", kAdmin, kUser, L"", L""},
        DeniedCase{"StandardUserPolicy", kStandard, kUser, kPolicy, kPolicyAdvice},
        DeniedCase{"StandardUserOwnSetting", kStandard, kUser, kMetrics, L""},
        DeniedCase{"StandardUserMachine", kStandard, kMachine, kFileSystem, kRunAsAdministrator},
        DeniedCase{"StandardUserUsers", kStandard, kUsers, kDefaultDesktop, kRunAsAdministrator},
        DeniedCase{"StandardUserBatchFile", kStandard, kUser, L"", kMoveAdvice},
        DeniedCase{"ElevatedPolicy", kElevated, kUser, kPolicy, L""},
        DeniedCase{"ElevatedMachine", kElevated, kMachine, kFileSystem, L""},
        DeniedCase{"ElevatedBatchFile", kElevated, kUser, L"", L""}),
    [](const auto& info) { return std::string(info.param.name); });

// What follows the offer: the restart, and only on Yes.
struct RestartCase {
    const char* name;
    int answer;  // 0: the message box itself failed
    ErrorCode restart;
    std::vector<UiEvent> then;
};
void PrintTo(const RestartCase& c, std::ostream* out) {
    *out << c.name;
}

class RestartOfferTest : public testing::TaskTest,
                         public ::testing::WithParamInterface<RestartCase> {};

TEST_P(RestartOfferTest, OnlyYesRestartsAndAFailedRestartSaysWhy) {
    const RestartCase& c = GetParam();
    registry.RefuseOpen(RegistryRoot::LocalMachine, kFileSystem, kErrorAccessDenied);
    ui.elevationState = ElevationState::UnelevatedAdministrator;
    ui.messageBoxAnswers = {c.answer};
    ui.restartResult = c.restart;
    mod_regSetting::OptimizeFileSystem(context);
    ASSERT_FALSE(ui.log.empty());
    EXPECT_EQ(ui.log[0].buttons, 4);
    EXPECT_EQ(std::vector<UiEvent>(ui.log.begin() + 1, ui.log.end()), c.then);
    EXPECT_EQ(ui.mainWindowClosed, c.restart == kSuccess && c.answer == kAnswerYes);
}

const UiEvent kRestart{L"RestartElevated", L"", L"", L"", -1};
const UiEvent kClose{L"CloseMainWindow", L"", L"", L"", -1};

INSTANTIATE_TEST_SUITE_P(
    Answers, RestartOfferTest,
    ::testing::Values(
        RestartCase{"Yes", kAnswerYes, kSuccess, {kRestart, kClose}},
        RestartCase{"No", kAnswerNo, kSuccess, {}}, RestartCase{"BoxFailed", 0, kSuccess, {}},
        RestartCase{"PromptDeclined", kAnswerYes, kErrorCancelled, {kRestart}},
        RestartCase{
            "RestartFailed",
            kAnswerYes,
            kErrorFileNotFound,
            {kRestart, MessageBoxEvent(L"无法以管理员身份重新启动本程序：系统找不到指定的文件。", 0,
                                       L"错误")}}),
    [](const auto& info) { return std::string(info.param.name); });

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
    EXPECT_EQ(registry.requests,
              (std::vector<RegistryRequest>{{L"CreateKey", L"Control Panel\\International"},
                                            {L"SetString", L"sTimeFormat"},
                                            {L"CloseKey", L""}}))
        << "nothing is tried after the refused write";
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
