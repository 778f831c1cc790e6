#include <gtest/gtest.h>

#include "tests/native/test_support.h"
#include "tweaks/backup_command.h"
#include "tweaks/mod_regSetting.h"

namespace torvane {
namespace {

using namespace mod_regSetting;

const UiEvent kSaveDialog{L"ShowSave", L"CommonDialog1", L"注册表文件(*.reg)|*.reg", L"", -1};
const UiEvent kOpenDialog{L"ShowOpen", L"CommonDialog1", L"注册表文件(*.reg)|*.reg", L"", -1};

class BackupTest : public testing::TaskTest {
  protected:
    void SetUp() override {
        ui.commonDialog1.SetFilter(L"注册表文件(*.reg)|*.reg");  // as the window's load does
        ui.programFolder = L"C:\\Program Files\\Torvane";
    }
    const std::wstring batchPath = L"C:\\Program Files\\Torvane\\BackUp.bat";
    const std::wstring commandLine =
        L"cmd.exe /d /v:off /c \"\"C:\\Program Files\\Torvane\\BackUp.bat\"\"";
};

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
        EXPECT_EQ(ui.log,
                  (std::vector<UiEvent>{
                      kSaveDialog, MessageBoxEvent(L"文件名包含无法处理的字符，请选择其他文件名。",
                                                   0, L"错误")}));
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
    EXPECT_EQ(ui.log, std::vector<UiEvent>{kSaveDialog});
    EXPECT_TRUE(ui.files.empty());
}

TEST_F(BackupTest, ASecondBackupReplacesTheLine) {
    ui.commonDialog1.answers = {L"C:\\first.reg", L"C:\\second.reg"};
    BackupRegistry(context);
    BackupRegistry(context);
    EXPECT_EQ(ui.files[batchPath], "regedit /e \"C:\\second.reg\"\r\n");
}

TEST_F(BackupTest, AnUnwritableBatchFileIsReportedAndNothingStarts) {
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
    EXPECT_EQ(ui.log, std::vector<UiEvent>{kOpenDialog});
}

}  // namespace
}  // namespace torvane
