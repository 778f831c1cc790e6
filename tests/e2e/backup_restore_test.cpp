#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/e2e_fixture.h"

namespace torvane::e2e {
namespace {

std::set<std::wstring> FilesIn(const std::wstring& folder) {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        names.insert(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::string InCodePage936(const std::wstring& text) {
    const int size = WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

// Waits for a file that another process is still writing to settle.
std::string WaitForFile(const std::wstring& path, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string last;
    while (std::chrono::steady_clock::now() < deadline) {
        std::string now = ReadBytes(path);
        if (!now.empty() && now == last) return now;
        last = now;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    return last;
}

using BackupEndToEndTest = EndToEndTest;

TEST_F(BackupEndToEndTest, ExportsToExactlyTheChosenPathThroughAQuotedBatchLine) {
    const std::wstring folder = L"C:\\Torvane 备份";
    const std::wstring exportPath = folder + L"\\注册表 a&b 100%PATH%.reg";
    CreateDirectoryW(folder.c_str(), nullptr);
    RemoveFileWhenFree(exportPath);
    const auto folderBefore = FilesIn(folder);
    const auto rootBefore = FilesIn(L"C:");

    StartTaskWithFile(1, 0, exportPath);
    ASSERT_TRUE(app->WaitForDialogsToClose());

    const std::wstring batch = InstallFolder() + L"\\BackUp.bat";
    EXPECT_EQ(ReadBytes(batch),
              InCodePage936(L"regedit /e \"" + folder + L"\\注册表 a&b 100%%PATH%%.reg\"\r\n"));

    const std::string exported = WaitForFile(exportPath, std::chrono::seconds(60));
    const std::wstring header = L"\xFEFFWindows Registry Editor Version 5.00";
    ASSERT_GE(exported.size(), header.size() * 2);
    EXPECT_EQ(exported.substr(0, header.size() * 2),
              std::string(reinterpret_cast<const char*>(header.data()), header.size() * 2));

    auto folderAfter = FilesIn(folder);
    folderAfter.erase(L"注册表 a&b 100%PATH%.reg");
    EXPECT_EQ(folderAfter, folderBefore) << "nothing but the export may appear";
    EXPECT_EQ(FilesIn(L"C:"), rootBefore) << "nothing may appear in the drive's root";
    RemoveFileWhenFree(exportPath);
}

TEST_F(BackupEndToEndTest, ANameTypedWithoutExtensionGetsDotReg) {
    const std::wstring folder = L"C:\\Torvane 备份";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring typed = folder + L"\\noext";
    RemoveFileWhenFree(typed + L".reg");
    StartTaskWithFile(1, 0, typed);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(ReadBytes(InstallFolder() + L"\\BackUp.bat"),
              InCodePage936(L"regedit /e \"" + typed + L".reg\"\r\n"));
    EXPECT_FALSE(WaitForFile(typed + L".reg", std::chrono::seconds(60)).empty());
    EXPECT_EQ(GetFileAttributesW(typed.c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveFileWhenFree(typed + L".reg");
}

TEST_F(BackupEndToEndTest, CancelWritesNoBatchFile) {
    const std::wstring batch = InstallFolder() + L"\\BackUp.bat";
    ASSERT_TRUE(RemoveFileWhenFree(batch));  // the last backup's interpreter may hold it
    StartTask(1, 0);
    auto dialog = app->WaitForDialog();
    ASSERT_TRUE(dialog);
    app->PressDialogButton(*dialog, IDCANCEL);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(GetFileAttributesW(batch.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(BackupEndToEndTest, RestoreHandsTheFileToTheShellsOpenAction) {
    AssociateRegFilesWithRegedit();
    const std::wstring testKey = L"Software\\Torvane Restore Test";
    RegDeleteKeyW(HKEY_CURRENT_USER, testKey.c_str());

    const std::wstring folder = L"C:\\Torvane 还原";
    const std::wstring regFile = folder + L"\\还原 测试.reg";
    CreateDirectoryW(folder.c_str(), nullptr);
    WriteRegFile(regFile, L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" +
                              testKey + L"]\r\n\"Restored\"=\"是\"\r\n\r\n");

    StartTaskWithFile(1, 1, regFile);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(WaitForValue(HKEY_CURRENT_USER, testKey, L"Restored"), StringBytes(L"是"));
    RegDeleteKeyW(HKEY_CURRENT_USER, testKey.c_str());
}

// The system's text for an error, as the program shows it.
std::wstring SystemText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer, length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    return text;
}

TEST_F(BackupEndToEndTest, ARestoreTheShellCannotCarryOutSaysWhyOnce) {
    const std::wstring folder = L"C:\\Torvane 还原";
    const std::wstring orphan = folder + L"\\没有关联.torvane-unassociated";
    CreateDirectoryW(folder.c_str(), nullptr);
    WriteRegFile(orphan, L"Windows Registry Editor Version 5.00\r\n\r\n");

    StartTaskWithFile(1, 1, orphan);
    // Windows has no program for the file: ERROR_NO_ASSOCIATION. Wine tries
    // to start the file itself as a program: ERROR_BAD_EXE_FORMAT.
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    const DialogSeen failure = ExpectDialog(L"错误");
    EXPECT_EQ(Utf8(failure.text),
              Utf8(L"无法打开注册表文件：" + orphan + L"\r\n" +
                   SystemText(wine ? ERROR_BAD_EXE_FORMAT : ERROR_NO_ASSOCIATION)));
    app->PressDialogButton(failure, IDOK);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    DeleteFileW(orphan.c_str());
}

// A program named like the registry editor in a folder that comes first in
// the user's PATH, which the program inherits. Windows' interpreter, told not
// to look in its current folder, would search that PATH first. Wine's looks
// in its current folder (the Windows folder, which holds regedit.exe) first
// whatever it is told, so here these pass even with the user's PATH; the
// adapter test TheInterpreterSearchesTheSystemFoldersOnly checks the search
// path the interpreter is given.
const std::wstring kPathPlantFolder = L"C:\\Torvane 路径";

class SearchPathPlantTest : public EndToEndTest,
                            public ::testing::WithParamInterface<const wchar_t*> {
  protected:
    void SetUp() override {
        CreateDirectoryW(kPathPlantFolder.c_str(), nullptr);
        ASSERT_TRUE(PlantProgram(plant));
        std::vector<wchar_t> path(32768);
        path.resize(GetEnvironmentVariableW(L"PATH", path.data(), 32768));
        savedPath.assign(path.begin(), path.end());
        SetEnvironmentVariableW(L"PATH", (kPathPlantFolder + L";" + savedPath).c_str());
        EndToEndTest::SetUp();  // the program starts with that PATH
    }
    void TearDown() override {
        EndToEndTest::TearDown();
        SetEnvironmentVariableW(L"PATH", savedPath.c_str());
        DeleteFileW(plant.c_str());
        DeleteFileW(kPlantMarker.c_str());
    }

    const std::wstring plant = kPathPlantFolder + L"\\" + GetParam();
    std::wstring savedPath;
};

TEST_P(SearchPathPlantTest, AnInterpreterWithTheUsersPathWouldRunThePlant) {
    // Proves the set-up: started where no regedit lies, as the program starts
    // its own, an interpreter searching this PATH finds the plant.
    ASSERT_TRUE(RunToExit(L"cmd.exe /d /c \"regedit /e \"C:\\torvane-control.reg\"\"",
                          L"C:\\windows\\temp"));
    EXPECT_TRUE(PlantRan(std::chrono::seconds(5)));
    RemoveFileWhenFree(L"C:\\torvane-control.reg");
}

TEST_P(SearchPathPlantTest, TheBackupRunsTheSystemsRegistryEditorAllTheSame) {
    const std::wstring exported = L"C:\\Torvane 备份\\路径.reg";
    CreateDirectoryW(L"C:\\Torvane 备份", nullptr);
    RemoveFileWhenFree(exported);
    StartTaskWithFile(1, 0, exported);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_FALSE(WaitForFile(exported, std::chrono::seconds(60)).empty())
        << "the export did not land at the chosen path";
    EXPECT_FALSE(PlantRan(std::chrono::milliseconds(500)));
    RemoveFileWhenFree(exported);
}

INSTANTIATE_TEST_SUITE_P(FirstInPath, SearchPathPlantTest,
                         ::testing::Values(L"regedit.exe", L"regedit.bat"),
                         [](const ::testing::TestParamInfo<const wchar_t*>& info) {
                             std::string name = Utf8(info.param);
                             name[name.find('.')] = '_';
                             return name;
                         });

}  // namespace
}  // namespace torvane::e2e
