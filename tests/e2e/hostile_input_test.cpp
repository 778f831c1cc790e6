// Bad input and faults through the real window: each refused input draws one
// clear message, changes nothing, starts nothing, and leaves the window usable.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/e2e_fixture.h"

namespace torvane::e2e {
namespace {

const std::wstring kLanman = L"SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters";
const std::wstring kMetrics = L"Control Panel\\Desktop\\WindowMetrics";
const std::wstring kDefaultDesktop = L".DEFAULT\\Control Panel\\Desktop";
const std::wstring kFileSystem = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
const std::wstring kSystemPolicy =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

struct NumberTask {
    int label, index;
    const wchar_t* title;
    HKEY root;
    const std::wstring* key;
    const wchar_t* value;
};
const NumberTask kThreshold{
    2, 0, L"按百分比输入", HKEY_LOCAL_MACHINE, &kLanman, L"DiskSpaceThreshold"};
const NumberTask kIconSize{3, 1, L"按百分比输入", HKEY_CURRENT_USER, &kMetrics, L"Shell Icon Size"};
const NumberTask kTimeout{4, 0, L"输入秒数", HKEY_USERS, &kDefaultDesktop, L"WaitToKillAppTimeout"};

struct HostileCase {
    const char* name;
    const NumberTask* task;
    std::wstring typed;
    std::wstring message;                   // the one refusal, or "" when accepted
    std::optional<RawValue> accepted = {};  // the value written when accepted
};
void PrintTo(const HostileCase& c, std::ostream* out) {
    *out << c.name;
}

// Processes that appeared since `before` and are not Wine's own helpers.
std::vector<std::wstring> NewProcesses(const std::map<DWORD, std::wstring>& before) {
    std::vector<std::wstring> started;
    for (const auto& [id, name] : Processes()) {
        if (!before.count(id) && name != L"conhost.exe" && name != L"explorer.exe")
            started.push_back(name);
    }
    return started;
}

class HostileInputTest : public EndToEndTest, public ::testing::WithParamInterface<HostileCase> {
  protected:
    // The window still works: a task without dialogs runs and writes its value.
    void ExpectStillUsable() {
        DeleteValue(HKEY_LOCAL_MACHINE, kFileSystem, L"ConfigFileAllocsize");
        StartTask(4, 2);
        ASSERT_TRUE(app->WaitForDialogsToClose());
        EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, kFileSystem, L"ConfigFileAllocsize"),
                  DwordBytes(500));
    }
};

TEST_P(HostileInputTest, RefusedOnceOrReadAsTheNumberItShows) {
    const HostileCase& c = GetParam();
    const NumberTask& task = *c.task;
    const RawValue sentinel = task.root == HKEY_LOCAL_MACHINE ? DwordBytes(77) : StringBytes(L"77");
    PutValue(task.root, *task.key, task.value, sentinel);
    const auto before = Processes();

    StartTask(task.label, task.index);
    DialogSeen box = ExpectDialog(task.title);
    ASSERT_TRUE(box.handle);
    app->AnswerInputBox(box, c.typed);
    if (!c.message.empty()) {
        DialogSeen refusal = ExpectDialog(L"错误");
        EXPECT_EQ(Utf8(refusal.text), Utf8(c.message));
        app->PressDialogButton(refusal, IDOK);
    }
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_TRUE(app->OpenDialogs().empty()) << "more than one message";
    EXPECT_EQ(ReadValue(task.root, *task.key, task.value),
              c.message.empty() ? c.accepted : sentinel);
    EXPECT_TRUE(NewProcesses(before).empty());
    ExpectStillUsable();
    DeleteValue(task.root, *task.key, task.value);
}

const wchar_t* const kEmpty = L"不能为空";
const wchar_t* const kNotNumber = L"输入的不是数字";

INSTANTIATE_TEST_SUITE_P(
    InputBoxes, HostileInputTest,
    ::testing::Values(HostileCase{"NoCharacters", &kThreshold, L"", kEmpty},
                      HostileCase{"OneCharacter", &kThreshold, L"1", L"", DwordBytes(1)},
                      HostileCase{"LongestNumber", &kTimeout, std::wstring(32766, L'0') + L"7", L"",
                                  StringBytes(L"7000")},
                      HostileCase{"LongestNonNumber", &kIconSize, std::wstring(32767, L'9'),
                                  kNotNumber},
                      HostileCase{"OnlyBlanks", &kIconSize, L"    ", kNotNumber},
                      HostileCase{"FullWidthDigits", &kThreshold, L"\uFF15\uFF10", kNotNumber},
                      HostileCase{"Overflow", &kTimeout, L"1e309", kNotNumber},
                      HostileCase{"NaN", &kThreshold, L"NaN", kNotNumber},
                      HostileCase{"Infinity", &kTimeout, L"Infinity", kNotNumber},
                      HostileCase{"CHex", &kIconSize, L"0x10", kNotNumber},
                      HostileCase{"BasicHex", &kIconSize, L"&H10", kNotNumber},
                      HostileCase{"CommaDecimal", &kThreshold, L"1,5", kNotNumber},
                      HostileCase{"LeadingPlus", &kThreshold, L"+7", L"", DwordBytes(7)},
                      HostileCase{"LineBreakAndTab", &kTimeout, L"1\r\n\t2", kNotNumber}),
    [](const auto& info) { return std::string(info.param.name); });

using HostileClockTest = EndToEndTest;

TEST_F(HostileClockTest, TenThousandCharactersAreStoredWhole) {
    const std::wstring international = L"Control Panel\\International";
    const auto saved = ReadValue(HKEY_CURRENT_USER, international, L"sTimeFormat");
    const std::wstring morning(10000, L'\u4E0A');
    StartTask(3, 3);
    app->AnswerInputBox(ExpectDialog(L"在上午显示的字符"), morning);
    app->AnswerInputBox(ExpectDialog(L"在下午显示的字符"), L"\xD83D\xDE00");
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, international, L"s1159"), StringBytes(morning));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, international, L"sTimeFormat"),
              StringBytes(L"HH:mm:ss:" + std::wstring(10000, L't')));
    if (saved) {
        PutValue(HKEY_CURRENT_USER, international, L"sTimeFormat", *saved);
    }
}

// The save dialog of the backup, answered with awkward paths.
class HostileBackupTest : public EndToEndTest {
  protected:
    std::wstring Batch() const { return InstallFolder() + L"\\BackUp.bat"; }
    void ChooseForBackup(const std::wstring& path, bool accepted = true) {
        StartTaskWithFile(1, 0, path, accepted);
    }
    // Dismisses whatever the dialog says about the name, then cancels it.
    void GiveUp() {
        for (int i = 0; i < 5; ++i) {
            auto dialogs = app->OpenDialogs();
            if (dialogs.empty()) break;
            // The newest first: a message about the name, then the dialog itself.
            const auto& dialog = dialogs.front();
            app->PressDialogButton(dialog, GetDlgItem(dialog.handle, IDCANCEL) ? IDCANCEL : IDOK);
        }
        ASSERT_TRUE(app->WaitForDialogsToClose());
    }
};

TEST_F(HostileBackupTest, EveryBatchMetacharacterReachesTheFileName) {
    const std::wstring folder = L"C:\\Torvane 元 字符 (x86) & more";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\a&b^c(d)e;f,g=h!i %PATH% %%x%% 100%.reg";
    RemoveFileWhenFree(path);
    ChooseForBackup(path);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_TRUE(WaitForFileToExist(path)) << "the export did not reach exactly the chosen file";
    RemoveFileWhenFree(path);
}

TEST_F(HostileBackupTest, ALongPathExportsThere) {
    std::wstring folder = L"C:\\" + std::wstring(120, L'd');
    CreateDirectoryW(folder.c_str(), nullptr);
    folder += L"\\" + std::wstring(100, L'e');
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring path = folder + L"\\";
    path += std::wstring(250 - path.size() - 4, L'f') + L".reg";
    ASSERT_EQ(path.size(), 250u);
    RemoveFileWhenFree(path);
    ChooseForBackup(path);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_TRUE(WaitForFileToExist(path));
    RemoveFileWhenFree(path);
}

TEST_F(HostileBackupTest, AMissingDriveOrAFolderWritesAndStartsNothing) {
    for (const std::wstring path : {L"Q:\\nowhere\\x.reg", L"C:\\windows"}) {
        SCOPED_TRACE(Utf8(path));
        // The last backup's interpreter may still be ending, holding the file.
        ASSERT_TRUE(RemoveFileWhenFree(Batch()));
        const auto before = Processes();
        ChooseForBackup(path, false);
        Sleep(300);
        GiveUp();
        EXPECT_EQ(GetFileAttributesW(Batch().c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_TRUE(NewProcesses(before).empty());
    }
}

TEST_F(HostileBackupTest, AnUnwritableBatchFileIsReportedOnceAndNothingStarts) {
    // A folder in the batch file's place makes it as unwritable as a protected
    // program folder would, even for an administrator.
    ASSERT_TRUE(RemoveFileWhenFree(Batch()));
    ASSERT_TRUE(CreateDirectoryW(Batch().c_str(), nullptr));
    const auto before = Processes();
    ChooseForBackup(L"C:\\unwritable-test.reg");
    DialogSeen message = ExpectDialog(L"错误");
    EXPECT_EQ(Utf8(message.text).rfind(Utf8(L"无法写入备份脚本：" + Batch() + L"\r\n"), 0), 0u)
        << Utf8(message.text);
    app->PressDialogButton(message, IDOK);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_TRUE(NewProcesses(before).empty());
    EXPECT_EQ(GetFileAttributesW(L"C:\\unwritable-test.reg"), INVALID_FILE_ATTRIBUTES);
    RemoveDirectoryW(Batch().c_str());
}

TEST_F(HostileBackupTest, ADisabledRegistryEditorDoesNotStopOurTasks) {
    SetDword(HKEY_CURRENT_USER, kSystemPolicy, L"DisableRegistryTools", 1);
    const std::wstring path = L"C:\\Torvane 禁用时 备份.reg";
    RemoveFileWhenFree(path);
    ChooseForBackup(path);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_TRUE(WaitForFileToExist(path));
    StartTask(1, 3);  // 允许使用注册表编辑器
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kSystemPolicy, L"DisableRegistryTools"), std::nullopt);
    RemoveFileWhenFree(path);
}

TEST_F(HostileBackupTest, OpenDialogsTakeOddPathsVerbatim) {
    const std::wstring folder = L"C:\\Torvane 元 字符 (x86) & more";
    CreateDirectoryW(folder.c_str(), nullptr);

    // The logon wallpaper stores the path exactly, metacharacters and all.
    const std::wstring picture = folder + L"\\a&b^c(d)e;f,g=h!i %PATH% 100%.bmp";
    CloseHandle(CreateFileW(picture.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::wstring desktop = L".DEFAULT\\Control Panel\\Desktop";
    const auto saved = ReadValue(HKEY_USERS, desktop, L"Wallpaper");
    StartTaskWithFile(3, 0, picture);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(ReadValue(HKEY_USERS, desktop, L"Wallpaper"), StringBytes(picture));
    DeleteValue(HKEY_USERS, desktop, L"Wallpaper");
    if (saved) PutValue(HKEY_USERS, desktop, L"Wallpaper", *saved);

    // Restore hands the same kind of path to the shell, which imports it.
    AssociateRegFilesWithRegedit();
    const std::wstring testKey = L"Software\\Torvane Odd Restore";
    RegDeleteKeyW(HKEY_CURRENT_USER, testKey.c_str());
    // No %…% here: under Wine a file named with %PATH% was not imported, as its
    // shell builds regedit's command line from the name after our call (which
    // passes the path untouched, as the unit tests check).
    const std::wstring regFile = folder + L"\\a&b^c(d)e;f,g=h!i 100%.reg";
    WriteRegFile(regFile, L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" +
                              testKey + L"]\r\n\"Odd\"=dword:00000001\r\n\r\n");
    StartTaskWithFile(1, 1, regFile);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(WaitForValue(HKEY_CURRENT_USER, testKey, L"Odd"), DwordBytes(1));
    RegDeleteKeyW(HKEY_CURRENT_USER, testKey.c_str());
}

}  // namespace
}  // namespace torvane::e2e
