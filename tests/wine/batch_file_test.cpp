// The backup's batch file as the shell writes, holds and runs it, and the
// shell's "open" as restore uses it, against the real file system and shell.
#include <windows.h>

#include <shlwapi.h>

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32_shell.h"

namespace torvane {
namespace {

const std::wstring kFolder = L"C:\\Torvane 批处理 测试";

std::string ReadAll(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

bool WriteAll(const std::wstring& path, const std::string& bytes,
              DWORD disposition = CREATE_ALWAYS) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    CloseHandle(file);
    return ok;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Polls for up to 20 s.
template <typename Condition>
bool Eventually(Condition condition) {
    for (int i = 0; i < 200; ++i) {
        if (condition()) return true;
        Sleep(100);
    }
    return false;
}

// Another process, run to its end: its exit code.
std::optional<DWORD> RunInAnotherProcess(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, kFolder.c_str(), &startup, &process)) {
        return std::nullopt;
    }
    std::optional<DWORD> exitCode;
    DWORD code = 0;
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(process.hProcess, &code)) {
        exitCode = code;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

class BatchFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CreateDirectoryW(kFolder.c_str(), nullptr);
        for (const std::wstring& path : {batch, other}) DeleteFileW(path.c_str());
    }
    void TearDown() override {
        for (const std::wstring& path : {batch, other, batch + L".aside"})
            DeleteFileW(path.c_str());
    }
    OwnerWindow owner;
    Win32Shell shell{owner};
    const std::wstring batch = kFolder + L"\\BackUp.bat";
    const std::wstring other = kFolder + L"\\other.txt";
};

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

// The check between writing and holding, against each way the file could
// have been changed in between.
struct ChangeCase {
    const char* name;
    void (*change)(const std::wstring& path);
    bool held;
    bool changed;
    ErrorCode error;
};
void PrintTo(const ChangeCase& c, std::ostream* out) {
    *out << c.name;
}

const std::string kWritten = "regedit /e \"C:\\x.reg\"\r\n";

class HoldCheckTest : public BatchFileTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(HoldCheckTest, OnlyTheFileAsWrittenIsHeld) {
    ASSERT_TRUE(WriteAll(batch, kWritten, CREATE_NEW));
    HANDLE file = CreateFileW(batch.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    BY_HANDLE_FILE_INFORMATION information{};
    ASSERT_TRUE(GetFileInformationByHandle(file, &information));
    CloseHandle(file);
    const FileIdentity written{information.dwVolumeSerialNumber, information.nFileIndexHigh,
                               information.nFileIndexLow};

    GetParam().change(batch);
    if (!Exists(batch) && Exists(batch + L".aside"))
        GTEST_SKIP() << "no symbolic link was made (Wine 8 reports one made without making it)";
    TextFileResult result = HoldIfUnchanged(batch, written, kWritten);
    EXPECT_EQ(result.hold != nullptr, GetParam().held);
    EXPECT_EQ(result.changedAfterWriting, GetParam().changed);
    EXPECT_EQ(result.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, HoldCheckTest,
    ::testing::Values(ChangeCase{"Unchanged", [](const std::wstring&) {}, true, false, kSuccess},
                      ChangeCase{"ReplacedByAnotherFileWithTheSameBytes",
                                 [](const std::wstring& path) {
                                     // Made before the original goes, so it cannot reuse its index.
                                     const std::wstring twin = path + L".twin";
                                     WriteAll(twin, kWritten);
                                     MoveFileExW(twin.c_str(), path.c_str(),
                                                 MOVEFILE_REPLACE_EXISTING);
                                 },
                                 false, true, kSuccess},
                      ChangeCase{"MovedAsideForALinkToIt",
                                 [](const std::wstring& path) {
                                     const std::wstring aside = path + L".aside";
                                     MoveFileW(path.c_str(), aside.c_str());
                                     CreateSymbolicLinkW(path.c_str(), aside.c_str(), 0);
                                 },
                                 false, true, kSuccess},
                      ChangeCase{"RewrittenInPlace",
                                 [](const std::wstring& path) {
                                     WriteAll(path, "regedit /e \"C:\\y.reg\"\r\n", OPEN_EXISTING);
                                 },
                                 false, true, kSuccess},
                      ChangeCase{"Lengthened",
                                 [](const std::wstring& path) {
                                     WriteAll(path, kWritten + "evil.exe\r\n", OPEN_EXISTING);
                                 },
                                 false, true, kSuccess},
                      ChangeCase{"Shortened",
                                 [](const std::wstring& path) {
                                     WriteAll(path, kWritten.substr(0, 7), TRUNCATE_EXISTING);
                                 },
                                 false, true, kSuccess},
                      ChangeCase{"Gone",
                                 [](const std::wstring& path) { DeleteFileW(path.c_str()); }, false,
                                 false, static_cast<ErrorCode>(ERROR_FILE_NOT_FOUND)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShellOpen, AFileTypeWithoutAnOpenActionGivesTheSystemsError) {
    CreateDirectoryW(kFolder.c_str(), nullptr);
    const std::wstring orphan = kFolder + L"\\备份.torvane-unassociated";
    ASSERT_TRUE(WriteAll(orphan, "x"));
    OwnerWindow owner;
    const ShellOpenOutcome outcome = Win32Shell(owner).ShellOpen(orphan);
    // Windows has no program to start: ERROR_NO_ASSOCIATION. Wine instead
    // tries to start the file itself as a program: ERROR_BAD_EXE_FORMAT.
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    EXPECT_EQ(outcome.error,
              static_cast<ErrorCode>(wine ? ERROR_BAD_EXE_FORMAT : ERROR_NO_ASSOCIATION));
    EXPECT_EQ(outcome.refusedProgram, L"");
    DeleteFileW(orphan.c_str());
}

TEST(ShellOpen, RegistryFilesOpenWithTheRegistryEditorAsOnWindows) {
    // The association the project's Wine prefixes are given when made.
    wchar_t command[512] = {};
    DWORD size = 512;
    ASSERT_EQ(AssocQueryStringW(0, ASSOCSTR_COMMAND, L".reg", L"open", command, &size), S_OK);
    EXPECT_EQ(std::wstring(command), L"regedit.exe \"%1\"");
}

}  // namespace
}  // namespace torvane
