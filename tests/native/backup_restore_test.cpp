#include <gtest/gtest.h>

#include "platform/code_pages.h"
#include "tests/native/backup_fixture.h"
#include "tweaks/backup_command.h"
#include "tweaks/mod_regSetting.h"

namespace torvane {
namespace {

using namespace mod_regSetting;

struct BatchCase {
    const char* name;
    std::wstring chosen;
    std::string bytes;  // the whole batch file, in code page 936
};
void PrintTo(const BatchCase& c, std::ostream* out) {
    *out << c.name;
}

class BatchFileTest : public BackupTest, public ::testing::WithParamInterface<BatchCase> {};

TEST_P(BatchFileTest, WritesOneQuotedLineThenStartsIt) {
    const BatchCase& c = GetParam();
    ui.commonDialog1.answers = {c.chosen};
    BackupRegistry(context);
    ASSERT_EQ(ui.files.count(batchPath), 1u);
    EXPECT_EQ(ui.files[batchPath], c.bytes);
    EXPECT_EQ(ui.files.size(), 1u);
    ASSERT_EQ(ui.log.size(), 3u);
    EXPECT_EQ(ui.log[0], kSaveDialog);
    EXPECT_EQ(ui.log[1].kind, L"WriteTextLine");
    EXPECT_EQ(ui.log[2], (UiEvent{L"RunCommand", commandLine, L"", L"", -1}));
    EXPECT_EQ(registry.KeyCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    ChosenPaths, BatchFileTest,
    ::testing::Values(
        BatchCase{"Plain", L"D:\\backup\\2009.reg", "regedit /e \"D:\\backup\\2009.reg\"\r\n"},
        BatchCase{"Spaces", L"C:\\My Backups\\my backup.reg",
                  "regedit /e \"C:\\My Backups\\my backup.reg\"\r\n"},
        BatchCase{"Metacharacters", L"C:\\x\\a&b|c^d(e)f;g,h=i!j.reg",
                  "regedit /e \"C:\\x\\a&b|c^d(e)f;g,h=i!j.reg\"\r\n"},
        BatchCase{"Percent", L"C:\\x\\%PATH%.reg", "regedit /e \"C:\\x\\%%PATH%%.reg\"\r\n"},
        BatchCase{"LonePercent", L"C:\\100%.reg", "regedit /e \"C:\\100%%.reg\"\r\n"},
        BatchCase{"ChineseFolders", L"D:\\备份\\2009.reg",
                  "regedit /e \"D:\\\xB1\xB8\xB7\xDD\\2009.reg\"\r\n"},
        BatchCase{"NoExtension", L"C:\\backup\\today", "regedit /e \"C:\\backup\\today\"\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BackupTest, APathOutsideTheCodePageIsRefusedBeforeAnythingIsWritten) {
    // À would best-fit to A, ก and ع have no form at all in code page 936.
    for (const std::wstring chosen :
         {L"C:\\\u00C0\\x.reg", L"C:\\\u0E01.reg", L"C:\\\xD83D\xDE00.reg", L"C:\\a\u0639b.reg"}) {
        SCOPED_TRACE(testing::Utf8(chosen));
        ui.log.clear();
        ui.commonDialog1.answers = {chosen};
        BackupRegistry(context);
        ASSERT_EQ(ui.log.size(), 2u);
        EXPECT_EQ(ui.log[0].kind, L"ShowSave");
        EXPECT_EQ(ui.log[1],
                  MessageBoxEvent(L"文件名包含无法处理的字符，请选择其他文件名。", 0, L"错误"));
        EXPECT_TRUE(ui.files.empty());
    }
}

TEST_F(BackupTest, CancelWritesAndStartsNothingEvenAfterAnEarlierChoice) {
    ui.commonDialog1.answers = {L""};
    BackupRegistry(context);
    EXPECT_EQ(ui.log, std::vector<UiEvent>{kSaveDialog});
    EXPECT_TRUE(ui.files.empty());

    ui.commonDialog1.answers = {L"C:\\first.reg", L""};
    BackupRegistry(context);
    ui.files.clear();
    ui.log.clear();
    BackupRegistry(context);
    UiEvent offeringTheEarlierChoice = kSaveDialog;
    offeringTheEarlierChoice.extra = L"C:\\first.reg";
    EXPECT_EQ(ui.log, std::vector<UiEvent>{offeringTheEarlierChoice});
    EXPECT_TRUE(ui.files.empty());
}

TEST_F(BackupTest, ASecondBackupReplacesTheLine) {
    ui.commonDialog1.answers = {L"C:\\first.reg", L"C:\\second.reg"};
    BackupRegistry(context);
    BackupRegistry(context);
    EXPECT_EQ(ui.files[batchPath], "regedit /e \"C:\\second.reg\"\r\n");
}

// Elevated, the batch file is held from its writing until the interpreter has
// exited, so that nothing can be run in its place; otherwise nothing is held.
struct HoldCase {
    const char* name;
    ElevationState state;
    bool held;
};
void PrintTo(const HoldCase& c, std::ostream* out) {
    *out << c.name;
}

class BatchHoldTest : public BackupTest, public ::testing::WithParamInterface<HoldCase> {};

TEST_P(BatchHoldTest, OnlyAnElevatedRunHoldsTheFileUntilTheInterpreterEnds) {
    ui.elevationState = GetParam().state;
    ui.commonDialog1.answers = {L"C:\\x.reg"};
    BackupRegistry(context);
    const bool held = GetParam().held;
    EXPECT_EQ(
        ui.log,
        (std::vector<UiEvent>{
            kSaveDialog,
            {L"WriteTextLine", batchPath, held ? L"hold" : L"", L"regedit /e \"C:\\x.reg\"", -1},
            {L"RunCommand", commandLine, held ? batchPath : L"", L"", -1}}));
}

INSTANTIATE_TEST_SUITE_P(States, BatchHoldTest,
                         ::testing::Values(HoldCase{"StandardUser", ElevationState::StandardUser,
                                                    false},
                                           HoldCase{"UnelevatedAdministrator",
                                                    ElevationState::UnelevatedAdministrator, false},
                                           HoldCase{"Elevated", ElevationState::Elevated, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BackupCodePages, ThoseThatRefuseConversionFlagsAreKnown) {
    // The lists of Microsoft's WideCharToMultiByte reference, and code pages
    // that do take the no-best-fit flag.
    for (unsigned codePage : {42u, 50220u, 50221u, 50222u, 50225u, 50227u, 50229u, 57002u, 57011u,
                              65000u, 65001u, 54936u}) {
        EXPECT_TRUE(TakesNoConversionFlags(codePage)) << codePage;
    }
    for (unsigned codePage : {437u, 850u, 932u, 936u, 949u, 950u, 1252u, 50000u, 57012u}) {
        EXPECT_FALSE(TakesNoConversionFlags(codePage)) << codePage;
    }
}

TEST(BackupCommand, InterpreterCommandLineQuotesTheBatchPath) {
    EXPECT_EQ(BuildInterpreterCommandLine(L"C:\\Program Files\\T (x86)\\BackUp.bat"),
              L"cmd.exe /d /v:off /c \"\"C:\\Program Files\\T (x86)\\BackUp.bat\"\"");
}

class RestoreTest : public BackupTest {};

TEST_F(RestoreTest, OpensTheChosenFileByItsFullPath) {
    ui.commonDialog1.answers = {L"D:\\备份\\my backup.reg"};
    RestoreRegistry(context);
    EXPECT_EQ(ui.log, (std::vector<UiEvent>{
                          kOpenDialog, {L"ShellOpen", L"D:\\备份\\my backup.reg", L"", L"", -1}}));
    EXPECT_TRUE(ui.files.empty());
}

TEST_F(RestoreTest, CancelOpensNothingEvenAfterAnEarlierChoice) {
    ui.commonDialog1.answers = {L"C:\\a.reg", L""};
    RestoreRegistry(context);
    ui.log.clear();
    RestoreRegistry(context);
    UiEvent offeringTheEarlierChoice = kOpenDialog;
    offeringTheEarlierChoice.extra = L"C:\\a.reg";
    EXPECT_EQ(ui.log, std::vector<UiEvent>{offeringTheEarlierChoice});
}

// The shell's own error, told once; declining the registry editor's
// elevation prompt (1223) is the user's answer and is not.
struct RestoreFailureCase {
    const char* name;
    ErrorCode error;
    std::wstring message;  // "" for none
};
void PrintTo(const RestoreFailureCase& c, std::ostream* out) {
    *out << c.name;
}

class RestoreFailureTest : public BackupTest,
                           public ::testing::WithParamInterface<RestoreFailureCase> {};

TEST_P(RestoreFailureTest, TheShellsErrorIsShownUnlessTheUserDeclined) {
    ui.shellOpenError = GetParam().error;
    ui.commonDialog1.answers = {L"D:\\备份\\b.reg"};
    RestoreRegistry(context);
    std::vector<UiEvent> expected{kOpenDialog, {L"ShellOpen", L"D:\\备份\\b.reg", L"", L"", -1}};
    if (!GetParam().message.empty())
        expected.push_back(MessageBoxEvent(GetParam().message, 0, L"错误"));
    EXPECT_EQ(ui.log, expected);
    EXPECT_TRUE(ui.files.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, RestoreFailureTest,
    ::testing::Values(RestoreFailureCase{"NoAssociation", 1155,
                                         L"无法打开注册表文件：D:\\备份\\b.reg\r\n错误 1155"},
                      RestoreFailureCase{"AccessDenied", kErrorAccessDenied,
                                         L"无法打开注册表文件：D:\\备份\\b.reg\r\n拒绝访问。"},
                      RestoreFailureCase{"ElevationDeclined", kErrorCancelled, L""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RestoreTest, APlantedOpenerIsNamedAndNothingElseHappens) {
    ui.plantedOpener = L"C:\\Users\\me\\Downloads\\regedit.exe";
    ui.commonDialog1.answers = {L"D:\\b.reg"};
    RestoreRegistry(context);
    EXPECT_EQ(ui.log,
              (std::vector<UiEvent>{
                  kOpenDialog,
                  {L"ShellOpen", L"D:\\b.reg", L"", L"", -1},
                  MessageBoxEvent(L"没有还原：打开注册表文件的程序位于本程序所在的文件夹或当前"
                                  L"文件夹中，可能是冒充的程序：C:\\Users\\me\\Downloads\\"
                                  L"regedit.exe",
                                  0, L"错误")}));
}

}  // namespace
}  // namespace torvane