// The backup's batch file as the shell writes, holds and runs it, against the
// real file system and interpreter.
#include <windows.h>

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

#include "platform/win32/unique_handles.h"
#include "tests/wine/batch_file_support.h"

namespace torvane {
namespace {

class BatchReplacementTest : public BatchFileTest,
                             public ::testing::WithParamInterface<AfterWriting> {};

TEST_P(BatchReplacementTest, AFileAlreadyThereIsReplacedNeverWrittenThrough) {
    // A hard link planted under the batch file's name: writing through it
    // would change the file it shares its data with.
    ASSERT_TRUE(WriteAll(other, "left alone\r\n"));
    ASSERT_TRUE(CreateHardLinkW(batch.c_str(), other.c_str(), nullptr));
    TextFileResult result = shell.WriteTextLine(batch, L"regedit /e \"C:\\x.reg\"", GetParam());
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(ReadAll(other), "left alone\r\n");
    EXPECT_EQ(ReadAll(batch), "regedit /e \"C:\\x.reg\"\r\n");
    EXPECT_EQ(result.hold != nullptr, GetParam() == AfterWriting::Hold);
}

INSTANTIATE_TEST_SUITE_P(Both, BatchReplacementTest,
                         ::testing::Values(AfterWriting::Release, AfterWriting::Hold),
                         [](const auto& info) {
                             return info.param == AfterWriting::Hold ? "Held" : "Released";
                         });

TEST_F(BatchFileTest, WhileHeldNoOtherProcessCanWriteRenameOrDeleteIt) {
    TextFileResult result = shell.WriteTextLine(batch, L"echo held", AfterWriting::Hold);
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_TRUE(result.hold);

    HANDLE writer = CreateFileW(batch.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    const std::wstring quoted = L"\"" + batch + L"\"";
    RunInAnotherProcess(L"cmd.exe /d /c \"echo swapped> " + quoted + L"\"");
    RunInAnotherProcess(L"cmd.exe /d /c \"ren " + quoted + L" other.txt\"");
    RunInAnotherProcess(L"cmd.exe /d /c \"del " + quoted + L"\"");
    EXPECT_EQ(ReadAll(batch), "echo held\r\n");
    EXPECT_FALSE(Exists(other));

    result.hold.reset();
    EXPECT_TRUE(DeleteFileW(batch.c_str())) << "released, the file is anyone's again";
}

TEST_F(BatchFileTest, AHeldFileStaysHeldUntilTheInterpreterHasExited) {
    // The held line calls a second batch file that waits for a signal, so the
    // interpreter still has the held file to read on after its first line.
    const std::wstring started = kFolder + L"\\started.txt";
    const std::wstring go = kFolder + L"\\go.txt";
    const std::wstring waiting = kFolder + L"\\waiting.bat";
    for (const std::wstring& path : {started, go}) DeleteFileW(path.c_str());
    ASSERT_TRUE(WriteAll(waiting,
                         "@echo off\r\necho started> \"started.txt\"\r\n:wait\r\n"
                         "if not exist \"go.txt\" goto wait\r\n"));
    TextFileResult result = shell.WriteTextLine(
        batch, L"@cd /d \"" + kFolder + L"\" & call \"" + waiting + L"\"", AfterWriting::Hold);
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_EQ(
        shell.RunCommand(L"cmd.exe /d /v:off /c \"\"" + batch + L"\"\"", std::move(result.hold)),
        kSuccess);
    ASSERT_TRUE(Eventually([&] { return Exists(started); })) << "the batch file did not run";

    // The hold was handed over: this process has no handle to the file left.
    EXPECT_FALSE(DeleteFileW(batch.c_str()));
    EXPECT_FALSE(MoveFileW(batch.c_str(), other.c_str()));
    EXPECT_EQ(ReadAll(batch).substr(0, 6), "@cd /d");

    ASSERT_TRUE(WriteAll(go, "go"));
    EXPECT_TRUE(Eventually([&] { return DeleteFileW(batch.c_str()) != FALSE; }))
        << "the hold did not end with the interpreter";
    for (const std::wstring& path : {started, go, waiting}) DeleteFileW(path.c_str());
}

// What stands in the way of replacing the batch file, put there by the case;
// a handle it leaves open is closed once the shell has tried.
struct ObstacleCase {
    const char* name;
    HANDLE (*plant)(const std::wstring& path);
    ErrorCode error;
    FileObstacle obstacle;
};
void PrintTo(const ObstacleCase& c, std::ostream* out) {
    *out << c.name;
}

class BatchObstacleTest : public BatchFileTest,
                          public ::testing::WithParamInterface<ObstacleCase> {};

TEST_P(BatchObstacleTest, TellsWhatIsInTheWayAndLeavesItAsItWas) {
    UniqueHandle planted(GetParam().plant(batch));
    const std::string before = ReadAll(batch);
    const DWORD attributes = GetFileAttributesW(batch.c_str());
    TextFileResult result =
        shell.WriteTextLine(batch, L"regedit /e \"C:\\x.reg\"", AfterWriting::Hold);
    EXPECT_EQ(result.error, GetParam().error);
    EXPECT_EQ(result.obstacle, GetParam().obstacle);
    EXPECT_FALSE(result.hold);
    planted.reset();
    EXPECT_EQ(ReadAll(batch), before);
    EXPECT_EQ(GetFileAttributesW(batch.c_str()), attributes);
}

const std::string kOldLine = "regedit /e \"C:\\old.reg\"\r\n";

INSTANTIATE_TEST_SUITE_P(
    Obstacles, BatchObstacleTest,
    ::testing::Values(ObstacleCase{"ReadOnly",
                                   [](const std::wstring& path) -> HANDLE {
                                       WriteAll(path, kOldLine);
                                       SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
                                       return nullptr;
                                   },
                                   kErrorAccessDenied, FileObstacle::ReadOnly},
                      // As the previous backup's interpreter holds it when run elevated.
                      ObstacleCase{
                          "OpenWithoutDeleteSharing",
                          [](const std::wstring& path) {
                              WriteAll(path, kOldLine);
                              return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                 nullptr, OPEN_EXISTING, 0, nullptr);
                          },
                          static_cast<ErrorCode>(ERROR_SHARING_VIOLATION), FileObstacle::InUse},
                      ObstacleCase{"AFolder",
                                   [](const std::wstring& path) -> HANDLE {
                                       CreateDirectoryW(path.c_str(), nullptr);
                                       return nullptr;
                                   },
                                   kErrorAccessDenied, FileObstacle::None}),
    [](const auto& info) { return std::string(info.param.name); });

// What the interpreter printed into a file, once it has finished writing it.
std::string SettledContent(const std::wstring& path) {
    std::string last;
    Eventually([&] {
        std::string now = ReadAll(path);
        const bool settled = now != "<missing>" && !now.empty() && now == last;
        last = now;
        return settled;
    });
    return last;
}

TEST_F(BatchFileTest, TheInterpreterSearchesTheSystemFoldersOnly) {
    // A folder of the user's comes first in the search path, under a name in
    // another case than Windows gives it.
    std::wstring saved(32768, L'\0');
    saved.resize(GetEnvironmentVariableW(L"PATH", saved.data(), 32768));
    SetEnvironmentVariableW(L"Path", (L"C:\\Torvane 路径;" + saved).c_str());
    const std::wstring listing = kFolder + L"\\environment.txt";
    DeleteFileW(listing.c_str());
    ASSERT_TRUE(shell.WriteTextLine(batch, L"set > \"" + listing + L"\"").ok());
    const ErrorCode started = shell.RunCommand(L"cmd.exe /d /v:off /c \"\"" + batch + L"\"\"");
    SetEnvironmentVariableW(L"PATH", saved.c_str());
    ASSERT_EQ(started, kSuccess);

    char system[MAX_PATH] = {}, windows[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    GetSystemWindowsDirectoryA(windows, MAX_PATH);
    std::vector<std::string> searchPaths, currentFolderSettings;
    const std::string content = SettledContent(listing);
    for (size_t start = 0, end; start < content.size(); start = end + 2) {
        end = content.find("\r\n", start);
        if (end == std::string::npos) end = content.size();
        const std::string entry = content.substr(start, end - start);
        const std::string name = entry.substr(0, entry.find('='));
        if (_stricmp(name.c_str(), "PATH") == 0) searchPaths.push_back(entry.substr(5));
        if (_stricmp(name.c_str(), "NoDefaultCurrentDirectoryInExePath") == 0)
            currentFolderSettings.push_back(entry);
    }
    EXPECT_EQ(searchPaths, std::vector<std::string>{std::string(system) + ";" + windows});
    EXPECT_EQ(currentFolderSettings,
              std::vector<std::string>{"NoDefaultCurrentDirectoryInExePath=1"});
    DeleteFileW(listing.c_str());
}

}  // namespace
}  // namespace torvane
