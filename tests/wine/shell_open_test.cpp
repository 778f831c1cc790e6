// The shell's "open" as restore uses it, against the real shell.
#include <windows.h>

#include <shlwapi.h>

#include <gtest/gtest.h>
#include <string>

#include "tests/wine/batch_file_support.h"

namespace torvane {
namespace {

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
