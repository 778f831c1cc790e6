// The shell and its code pages, the current folder, the token's elevation and the DLL loader.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/process_paths.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_elevation.h"
#include "platform/win32/win32_shell.h"

namespace torvane {
namespace {

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override { CreateDirectoryW(folder.c_str(), nullptr); }
    OwnerWindow owner;
    Win32Shell shell{owner};
    const std::wstring folder = L"C:\\Torvane shell 测试";

    std::string ReadAll(const std::wstring& path) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "<missing>";
        char buffer[4096];
        DWORD read = 0;
        ReadFile(file, buffer, sizeof buffer, &read, nullptr);
        CloseHandle(file);
        return std::string(buffer, read);
    }
};

TEST_F(ShellTest, WriteTextLineWritesCodePage936AndReplacesTheFile) {
    const std::wstring path = folder + L"\\line.bat";
    EXPECT_TRUE(shell.WriteTextLine(path, L"a much longer first line").ok());
    EXPECT_TRUE(shell.WriteTextLine(path, L"regedit /e \"D:\\备份\\x.reg\"").ok());
    EXPECT_EQ(ReadAll(path), "regedit /e \"D:\\\xB1\xB8\xB7\xDD\\x.reg\"\r\n");
}

TEST_F(ShellTest, WriteTextLineRefusesBestFitCharactersAndWritesNothing) {
    const std::wstring path = folder + L"\\refused.bat";
    DeleteFileW(path.c_str());
    for (const wchar_t* line : {L"\u00C0", L"\u0E01", L"\xD83D\xDE00", L"\u0639"}) {
        const TextFileResult result = shell.WriteTextLine(path, line);
        EXPECT_FALSE(result.representable);
        EXPECT_EQ(ReadAll(path), "<missing>");
    }
}

// The batch file's text in every code page Windows may give the interpreter,
// including UTF-8 (the "Beta: Use Unicode UTF-8" option) and GB18030, whose
// converters refuse the no-best-fit flag.
struct CodePageCase {
    unsigned codePage;
    std::wstring text;
    std::optional<std::string> bytes;  // nullopt: refused
};
void PrintTo(const CodePageCase& c, std::ostream* out) {
    *out << "code page " << c.codePage << ", " << c.text.size() << " UTF-16 units";
}

class CodePageTest : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(CodePageTest, ExactBytesOrARefusal) {
    // Wine 8 has no GB18030 converter; Windows has had one since Vista.
    if (!IsValidCodePage(GetParam().codePage)) GTEST_SKIP() << "code page not installed here";
    EXPECT_EQ(ToCodePage(GetParam().text, GetParam().codePage), GetParam().bytes);
}

const std::wstring kChinese = L"中文";
const std::wstring kMeta = L"%&";
const std::wstring kBeyondBmp = L"\xD83D\xDE00";
const std::wstring kLoneSurrogate = L"a\xD800";
INSTANTIATE_TEST_SUITE_P(
    Texts, CodePageTest,
    ::testing::Values(
        CodePageCase{936, kChinese, "\xD6\xD0\xCE\xC4"}, CodePageCase{936, kMeta, "%&"},
        CodePageCase{936, kBeyondBmp, {}}, CodePageCase{936, kLoneSurrogate, {}},
        CodePageCase{437, kChinese, {}}, CodePageCase{437, kMeta, "%&"},
        CodePageCase{437, kBeyondBmp, {}}, CodePageCase{437, kLoneSurrogate, {}},
        CodePageCase{1252, kChinese, {}}, CodePageCase{1252, kMeta, "%&"},
        CodePageCase{1252, kBeyondBmp, {}}, CodePageCase{1252, kLoneSurrogate, {}},
        CodePageCase{65001, kChinese, "\xE4\xB8\xAD\xE6\x96\x87"}, CodePageCase{65001, kMeta, "%&"},
        CodePageCase{65001, kBeyondBmp, "\xF0\x9F\x98\x80"},
        CodePageCase{65001, kLoneSurrogate, {}}, CodePageCase{54936, kChinese, "\xD6\xD0\xCE\xC4"},
        CodePageCase{54936, kMeta, "%&"}, CodePageCase{54936, kBeyondBmp, "\x94\x39\xFC\x36"},
        CodePageCase{54936, kLoneSurrogate, {}}));

TEST(CurrentFolderKeeper, PutsTheFolderBackWhateverHappenedInItsScope) {
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    {
        CurrentFolderKeeper keeper;
        ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\windows"));
    }
    wchar_t after[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_EQ(std::wstring(after), std::wstring(before));
}

TEST(Win32Elevation, ReadsTheTokenAsTheSystemDescribesIt) {
    // An independent reading of the same token: elevation type and whether
    // the Administrators group is enabled in it.
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    ASSERT_TRUE(GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size));
    CloseHandle(token);
    BYTE adminSid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof adminSid;
    ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, adminSid, &sidSize));
    BOOL admin = FALSE;
    ASSERT_TRUE(CheckTokenMembership(nullptr, adminSid, &admin));

    OwnerWindow owner;
    const ElevationState expected =
        type == TokenElevationTypeLimited         ? ElevationState::UnelevatedAdministrator
        : type == TokenElevationTypeFull || admin ? ElevationState::Elevated
                                                  : ElevationState::StandardUser;
    EXPECT_EQ(Win32Elevation(owner).State(), expected)
        << "elevation type " << type << ", administrator " << admin;
}

TEST_F(ShellTest, WriteTextLineReportsTheSystemError) {
    const TextFileResult result = shell.WriteTextLine(L"C:\\no such folder\\x.bat", L"x");
    EXPECT_TRUE(result.representable);
    EXPECT_NE(result.error, kSuccess);
    EXPECT_FALSE(shell.ErrorText(result.error).empty());
    const std::wstring text = shell.ErrorText(kErrorAccessDenied);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), L'\n');
}

TEST_F(ShellTest, ProgramFolderHasNoTrailingBackslash) {
    const std::wstring programFolder = shell.ProgramFolder();
    ASSERT_FALSE(programFolder.empty());
    EXPECT_NE(programFolder.back(), L'\\');
    wchar_t exe[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH * 2);
    EXPECT_EQ(std::wstring(exe).rfind(programFolder + L"\\", 0), 0u);
}

TEST_F(ShellTest, RunCommandStartsTheBatchFileInAFolderWithSpaces) {
    const std::wstring batch = folder + L"\\run me.bat";
    const std::wstring marker = folder + L"\\ran & done.txt";
    DeleteFileW(marker.c_str());
    ASSERT_TRUE(shell.WriteTextLine(batch, L"echo ok> \"" + marker + L"\"").ok());
    EXPECT_EQ(shell.RunCommand(L"cmd.exe /d /v:off /c \"\"" + batch + L"\"\""), kSuccess);
    bool appeared = false;
    for (int i = 0; i < 200 && !appeared; ++i) {
        appeared = GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!appeared) Sleep(50);
    }
    EXPECT_TRUE(appeared);
}

// A system DLL's name planted beside this test program, where a load by name
// looks first; Wine is told to prefer a native DLL, so that it takes the plant
// as Windows would. The plant leaves a marker beside itself when loaded.
class SystemLibraryTest : public ::testing::TestWithParam<DllSearch> {
  protected:
    void SetUp() override {
        ASSERT_EQ(GetModuleHandleW(kName), nullptr) << "already loaded: no load would search";
        wchar_t exe[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        folder = exe;
        folder.resize(folder.find_last_of(L'\\'));
        ASSERT_TRUE(
            CopyFileW((folder + L"\\..\\..\\planted\\" + kName).c_str(), Plant().c_str(), FALSE));
        DeleteFileW(Marker().c_str());
        // Wine opens a program's own override key once, at its first DLL load,
        // so one made now would go unseen; the prefix-wide key is open from the
        // start and read at every load.
        RegSetKeyValueW(HKEY_CURRENT_USER, kOverrides, kStem, REG_SZ, L"native,builtin",
                        sizeof L"native,builtin");
    }
    void TearDown() override {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kOverrides, kStem);
        DeleteFileW(Plant().c_str());
        DeleteFileW(Marker().c_str());
    }
    std::wstring Plant() const { return folder + L"\\" + kName; }
    std::wstring Marker() const { return folder + L"\\planted-dll-was-loaded.txt"; }
    bool PlantWasLoaded() const {
        return GetFileAttributesW(Marker().c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // One that nothing else in this process loads: a module already loaded is
    // taken without any search.
    static constexpr const wchar_t* kStem = L"windowscodecs";
    static constexpr const wchar_t* kName = L"windowscodecs.dll";
    static constexpr const wchar_t* kOverrides = L"Software\\Wine\\DllOverrides";
    std::wstring folder;
};

TEST_P(SystemLibraryTest, LoadsTheSystemFoldersCopyNotOneBesideTheProgram) {
    // The control: a plain load by name takes the plant, which refuses to load.
    if (HMODULE plain = LoadLibraryW(kName)) FreeLibrary(plain);
    ASSERT_TRUE(PlantWasLoaded()) << "the plant was not found: nothing here could be caught";
    DeleteFileW(Marker().c_str());

    HMODULE module = LoadSystemLibrary(kName, GetParam());
    ASSERT_NE(module, nullptr) << GetLastError();
    wchar_t loaded[MAX_PATH] = {};
    GetModuleFileNameW(module, loaded, MAX_PATH);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(
        CompareStringOrdinal(loaded, -1, (std::wstring(system) + L"\\" + kName).c_str(), -1, TRUE),
        CSTR_EQUAL)
        << "loaded from " << loaded;
    EXPECT_FALSE(PlantWasLoaded());
    FreeLibrary(module);
}

INSTANTIATE_TEST_SUITE_P(Loaders, SystemLibraryTest,
                         ::testing::Values(DllSearch::AlteredSearchPath,
                                           DllSearch::SystemFolderOnly),
                         [](const auto& info) {
                             return info.param == DllSearch::AlteredSearchPath
                                        ? "WithoutTheLoaderUpdate"
                                        : "WithTheLoaderUpdate";
                         });

}  // namespace
}  // namespace torvane
