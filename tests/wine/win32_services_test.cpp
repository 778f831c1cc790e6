// The Win32 dialog and shell adapters, driven the way a user would drive them.
#include <windows.h>

#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "platform/win32/input_box.h"
#include "platform/win32/process_paths.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_elevation.h"
#include "platform/win32/win32_shell.h"

namespace torvane {
namespace {

// Waits on another thread for this process's dialog with the title, then acts on it.
class DialogResponder {
  public:
    DialogResponder(std::wstring title, std::function<void(HWND)> act)
        : thread_([this, title = std::move(title), act = std::move(act)] {
              for (int i = 0; i < 500; ++i) {
                  HWND dialog = FindWindowW(L"#32770", title.c_str());
                  if (dialog && IsWindowVisible(dialog)) {
                      found = true;
                      act(dialog);
                      return;
                  }
                  Sleep(20);
              }
          }) {}
    ~DialogResponder() { thread_.join(); }
    std::atomic<bool> found{false};

  private:
    std::thread thread_;
};

std::wstring Text(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return buffer;
}

TEST(InputBox, OkReturnsWhatWasTypedAndShowsPromptAndDefault) {
    std::wstring prompt, shownDefault;
    std::optional<std::wstring> result;
    {
        DialogResponder responder(L"按百分比输入", [&](HWND dialog) {
            prompt = Text(GetDlgItem(dialog, kInputBoxPromptId));
            shownDefault = Text(GetDlgItem(dialog, kInputBoxEditId));
            SetDlgItemTextW(dialog, kInputBoxEditId, L"42.5 中");
            PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        });
        result = RunInputBox(nullptr, L"输入数字", L"按百分比输入", L"8");
    }
    EXPECT_EQ(prompt, L"输入数字");
    EXPECT_EQ(shownDefault, L"8");
    EXPECT_EQ(result, L"42.5 中");
}

struct CloseCase {
    const char* name;
    std::function<void(HWND)> close;
    std::optional<std::wstring> expected;
};

class InputBoxClosing : public ::testing::TestWithParam<CloseCase> {};

TEST_P(InputBoxClosing, OnlyOkGivesText) {
    std::optional<std::wstring> result;
    {
        DialogResponder responder(L"输入秒数", GetParam().close);
        result = RunInputBox(nullptr, L"输入数字", L"输入秒数", L"20");
    }
    EXPECT_EQ(result, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, InputBoxClosing,
    ::testing::Values(
        CloseCase{"OkOnTheDefault",
                  [](HWND d) { PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0); }, L"20"},
        CloseCase{
            "Enter",
            [](HWND d) { PostMessageW(GetDlgItem(d, kInputBoxEditId), WM_KEYDOWN, VK_RETURN, 0); },
            L"20"},
        CloseCase{"Cancel", [](HWND d) { PostMessageW(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0); },
                  std::nullopt},
        CloseCase{
            "Escape",
            [](HWND d) { PostMessageW(GetDlgItem(d, kInputBoxEditId), WM_KEYDOWN, VK_ESCAPE, 0); },
            std::nullopt},
        CloseCase{"CloseBox", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); },
                  std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Win32Dialogs, CancelIsToldApartFromAnEmptyOk) {
    OwnerWindow owner;
    Win32Dialogs dialogs(owner);
    {
        DialogResponder responder(L"在下午显示的字符", [](HWND d) {
            PostMessageW(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0);
        });
        EXPECT_EQ(dialogs.ShowInputBox(L"输入字符", L"在下午显示的字符", L"x"), std::nullopt);
    }
    DialogResponder responder(L"在下午显示的字符", [](HWND d) {
        SetDlgItemTextW(d, kInputBoxEditId, L"");
        PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(dialogs.ShowInputBox(L"输入字符", L"在下午显示的字符", L"x"), std::wstring());
}

TEST(Win32Dialogs, MessageBoxAnswersAreTheButtonNumbers) {
    OwnerWindow owner;
    Win32Dialogs dialogs(owner);
    {
        DialogResponder responder(
            L"确认", [](HWND d) { PostMessageW(GetDlgItem(d, IDNO), BM_CLICK, 0, 0); });
        EXPECT_EQ(dialogs.ShowMessageBox(L"是否？", kButtonsYesNo, L"确认"), kAnswerNo);
    }
    {
        DialogResponder responder(
            L"确认", [](HWND d) { PostMessageW(GetDlgItem(d, IDYES), BM_CLICK, 0, 0); });
        EXPECT_EQ(dialogs.ShowMessageBox(L"是否？", kButtonsYesNo, L"确认"), kAnswerYes);
    }
    {
        DialogResponder responder(L"错误", [](HWND d) {
            EXPECT_FALSE(GetDlgItem(d, IDYES));
            PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
        });
        EXPECT_EQ(dialogs.ShowMessageBox(L"不能为空", kButtonsOkOnly, L"错误"), kAnswerOk);
    }
}

// The visible dialogs of this process, newest first as EnumWindows gives them.
std::vector<HWND> OwnDialogs() {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
                std::wstring(name) == L"#32770") {
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND WaitForDialogCount(size_t count) {
    for (int i = 0; i < 500; ++i) {
        auto dialogs = OwnDialogs();
        if (dialogs.size() == count) return dialogs.front();
        Sleep(20);
    }
    return nullptr;
}

void TypeFileName(HWND dialog, const std::wstring& path) {
    HWND box = GetDlgItem(dialog, 0x47C);
    if (!box) box = GetDlgItem(dialog, 0x480);
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

class FileDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CreateDirectoryW(folder.c_str(), nullptr);
        CloseHandle(
            CreateFileW(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        GetCurrentDirectoryW(MAX_PATH, before);
        dialog.SetFilter(L"注册表文件(*.reg)|*.reg");
    }
    void TearDown() override {
        wchar_t after[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, after);
        EXPECT_EQ(std::wstring(after), std::wstring(before))
            << "a dialog changed the current folder";
    }
    OwnerWindow owner;
    Win32FileDialog dialog{owner};
    const std::wstring folder = L"C:\\Torvane 文件 对话框";
    const std::wstring existing = folder + L"\\已有 a&b.reg";
    wchar_t before[MAX_PATH] = {};
};

TEST_F(FileDialogTest, OpenGivesTheFullPathAndACancelForgetsIt) {
    {
        std::thread user([&] { TypeFileName(WaitForDialogCount(1), existing); });
        dialog.ShowOpen();
        user.join();
    }
    EXPECT_EQ(dialog.FileName(), existing);
    EXPECT_EQ(dialog.FileTitle(), L"已有 a&b.reg");
    {
        std::thread user(
            [&] { PostMessageW(GetDlgItem(WaitForDialogCount(1), IDCANCEL), BM_CLICK, 0, 0); });
        dialog.ShowOpen();
        user.join();
    }
    EXPECT_EQ(dialog.FileName(), L"");
}

TEST_F(FileDialogTest, SaveAsksBeforeReplacingAFile) {
    std::wstring question;
    std::thread user([&] {
        HWND save = WaitForDialogCount(1);
        TypeFileName(save, existing);
        // The question comes as a second dialog; No keeps the save dialog open.
        HWND ask = WaitForDialogCount(2);
        if (!ask) return;
        question = GetWindowTextLengthW(ask) ? L"asked" : L"";
        PostMessageW(GetDlgItem(ask, IDNO), BM_CLICK, 0, 0);
        WaitForDialogCount(1);
        PostMessageW(GetDlgItem(save, IDCANCEL), BM_CLICK, 0, 0);
    });
    dialog.ShowSave();
    user.join();
    EXPECT_EQ(question, L"asked");
    EXPECT_EQ(dialog.FileName(), L"");
}

TEST_F(FileDialogTest, SaveOfANewNameNeedsNoQuestion) {
    const std::wstring fresh = folder + L"\\新 备份 100%.reg";
    DeleteFileW(fresh.c_str());
    std::thread user([&] { TypeFileName(WaitForDialogCount(1), fresh); });
    dialog.ShowSave();
    user.join();
    EXPECT_EQ(dialog.FileName(), fresh);
    EXPECT_EQ(GetFileAttributesW(fresh.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the dialog itself writes nothing";
}

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = L"C:\\Torvane shell 测试";
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    OwnerWindow owner;
    Win32Shell shell{owner};
    std::wstring folder;

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
