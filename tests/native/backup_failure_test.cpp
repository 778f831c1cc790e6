#include <gtest/gtest.h>

#include "tests/native/backup_fixture.h"
#include "tweaks/mod_regSetting.h"

namespace torvane {
namespace {

using namespace mod_regSetting;

TEST_F(BackupTest, AnUnwritableBatchFileIsReportedAndNothingStarts) {
    ui.elevationState = ElevationState::Elevated;  // the advice has a table of its own
    ui.writeError = kErrorAccessDenied;
    ui.commonDialog1.answers = {L"C:\\x.reg"};
    BackupRegistry(context);
    EXPECT_EQ(ui.log,
              (std::vector<UiEvent>{
                  kSaveDialog,
                  MessageBoxEvent(
                      L"无法写入备份脚本：C:\\Program Files\\Torvane\\BackUp.bat\r\n拒绝访问。", 0,
                      L"错误")}));
}

TEST_F(BackupTest, AFailedLaunchIsReported) {
    ui.runCommandError = 2;
    ui.commonDialog1.answers = {L"C:\\x.reg"};
    BackupRegistry(context);
    ASSERT_EQ(ui.log.size(), 4u);
    EXPECT_EQ(ui.log[2].kind, L"RunCommand");
    EXPECT_EQ(ui.log[3],
              MessageBoxEvent(L"无法启动备份脚本：C:\\Program Files\\Torvane\\BackUp.bat\r\n"
                              L"系统找不到指定的文件。",
                              0, L"错误"));
}

// A batch file refused for lack of rights: only an administrator running
// without elevation is offered a restart as administrator.
struct ElevationCase {
    const char* name;
    ElevationState state;
    int answer;                      // to the question, when there is one
    ErrorCode restart;               // what the restart gives
    std::vector<std::wstring> then;  // what follows the failure message, by kind
};
void PrintTo(const ElevationCase& c, std::ostream* out) {
    *out << c.name;
}

class BatchElevationTest : public BackupTest,
                           public ::testing::WithParamInterface<ElevationCase> {};

TEST_P(BatchElevationTest, OfferedOnlyToAnUnelevatedAdministrator) {
    const ElevationCase& c = GetParam();
    ui.elevationState = c.state;
    ui.restartResult = c.restart;
    ui.messageBoxAnswers = {c.answer};
    ui.writeError = kErrorAccessDenied;
    ui.commonDialog1.answers = {L"C:\\x.reg"};
    BackupRegistry(context);
    const std::wstring failure =
        L"无法写入备份脚本：C:\\Program Files\\Torvane\\BackUp.bat\r\n拒绝访问。";
    ASSERT_GE(ui.log.size(), 2u);
    if (c.state == ElevationState::UnelevatedAdministrator) {
        EXPECT_EQ(ui.log[1],
                  MessageBoxEvent(failure + L"\r\n是否以管理员身份重新启动本程序？重新启动后请再次"
                                            L"执行此任务。",
                                  4, L"错误"));
    } else if (c.state == ElevationState::StandardUser) {
        EXPECT_EQ(ui.log[1], MessageBoxEvent(failure + L"\r\n请把本程序放到你能写入的文件夹"
                                                       L"（例如\u201C下载\u201D）后重试。",
                                             0, L"错误"));
    } else {
        EXPECT_EQ(ui.log[1], MessageBoxEvent(failure, 0, L"错误"));
    }
    std::vector<std::wstring> then;
    for (size_t i = 2; i < ui.log.size(); ++i) then.push_back(ui.log[i].kind);
    EXPECT_EQ(then, c.then);
    EXPECT_EQ(ui.mainWindowClosed, c.then.size() == 2 && c.then[1] == L"CloseMainWindow");
    EXPECT_EQ(ui.files.count(batchPath), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    States, BatchElevationTest,
    ::testing::Values(
        ElevationCase{"StandardUser", ElevationState::StandardUser, kAnswerYes, kSuccess, {}},
        ElevationCase{"AlreadyElevated", ElevationState::Elevated, kAnswerYes, kSuccess, {}},
        ElevationCase{"AdministratorSaysYes",
                      ElevationState::UnelevatedAdministrator,
                      kAnswerYes,
                      kSuccess,
                      {L"RestartElevated", L"CloseMainWindow"}},
        ElevationCase{"AdministratorSaysNo",
                      ElevationState::UnelevatedAdministrator,
                      kAnswerNo,
                      kSuccess,
                      {}},
        ElevationCase{"AdministratorDeclinesThePrompt",
                      ElevationState::UnelevatedAdministrator,
                      kAnswerYes,
                      kErrorCancelled,
                      {L"RestartElevated"}},
        ElevationCase{"RestartFails",
                      ElevationState::UnelevatedAdministrator,
                      kAnswerYes,
                      2,
                      {L"RestartElevated", L"MessageBox"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A batch file in use or read-only is not a matter of rights: one message,
// whoever runs the program, and no restart is offered.
struct ObstacleCase {
    const char* name;
    ErrorCode error;
    FileObstacle obstacle;
    ElevationState state;
    std::wstring message;
};
void PrintTo(const ObstacleCase& c, std::ostream* out) {
    *out << c.name;
}

class BatchObstacleTest : public BackupTest, public ::testing::WithParamInterface<ObstacleCase> {};

TEST_P(BatchObstacleTest, SaysWhatIsInTheWayAndStartsNothing) {
    const ObstacleCase& c = GetParam();
    ui.elevationState = c.state;
    ui.writeError = c.error;
    ui.writeObstacle = c.obstacle;
    ui.commonDialog1.answers = {L"C:\\x.reg"};
    BackupRegistry(context);
    EXPECT_EQ(ui.log, (std::vector<UiEvent>{kSaveDialog, MessageBoxEvent(c.message, 0, L"错误")}));
}

const std::wstring kPreviousBackupRunning = L"上一次备份还没有结束，请等它结束后再试。";
const std::wstring kReadOnly =
    L"备份脚本是只读文件，无法改写：C:\\Program Files\\Torvane\\BackUp.bat";

INSTANTIATE_TEST_SUITE_P(
    Obstacles, BatchObstacleTest,
    ::testing::Values(ObstacleCase{"HeldByAnInterpreter", 32, FileObstacle::InUse,
                                   ElevationState::Elevated, kPreviousBackupRunning},
                      ObstacleCase{"PendingDeletion", kErrorAccessDenied, FileObstacle::InUse,
                                   ElevationState::UnelevatedAdministrator, kPreviousBackupRunning},
                      ObstacleCase{"ReadOnlyForAStandardUser", kErrorAccessDenied,
                                   FileObstacle::ReadOnly, ElevationState::StandardUser, kReadOnly},
                      ObstacleCase{"ReadOnlyForAnUnelevatedAdministrator", kErrorAccessDenied,
                                   FileObstacle::ReadOnly, ElevationState::UnelevatedAdministrator,
                                   kReadOnly},
                      ObstacleCase{"AnyOtherSharingViolation", 32, FileObstacle::None,
                                   ElevationState::UnelevatedAdministrator,
                                   L"无法写入备份脚本：C:\\Program Files\\Torvane\\BackUp.bat"
                                   L"\r\n错误 32"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackupTest, ABatchFileChangedAfterWritingRunsNothing) {
    ui.elevationState = ElevationState::Elevated;
    ui.changedAfterWriting = true;
    ui.commonDialog1.answers = {L"C:\\x.reg"};
    BackupRegistry(context);
    EXPECT_EQ(ui.log,
              (std::vector<UiEvent>{
                  kSaveDialog,
                  {L"WriteTextLine", batchPath, L"hold", L"regedit /e \"C:\\x.reg\"", -1},
                  MessageBoxEvent(
                      L"备份脚本写入后被更改，没有运行：C:\\Program Files\\Torvane\\BackUp.bat", 0,
                      L"错误")}));
}

}  // namespace
}  // namespace torvane
