// The input box, message boxes and file dialogs, answered from another thread as a user would.
#include "platform/win32/win32_dialogs.h"

#include <windows.h>

#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "platform/win32/input_box.h"

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
                      act(dialog);
                      return;
                  }
                  Sleep(20);
              }
          }) {}
    ~DialogResponder() { thread_.join(); }

  private:
    std::thread thread_;
};

std::function<void(HWND)> Click(int button) {
    return [button](HWND d) { PostMessageW(GetDlgItem(d, button), BM_CLICK, 0, 0); };
}
std::function<void(HWND)> KeyInTheEdit(WPARAM key) {
    return [key](HWND d) { PostMessageW(GetDlgItem(d, kInputBoxEditId), WM_KEYDOWN, key, 0); };
}

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
    ::testing::Values(CloseCase{"OkOnTheDefault", Click(IDOK), L"20"},
                      CloseCase{"Enter", KeyInTheEdit(VK_RETURN), L"20"},
                      CloseCase{"Cancel", Click(IDCANCEL), std::nullopt},
                      CloseCase{"Escape", KeyInTheEdit(VK_ESCAPE), std::nullopt},
                      CloseCase{"CloseBox",
                                [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); },
                                std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Win32Dialogs, CancelIsToldApartFromAnEmptyOk) {
    OwnerWindow owner;
    Win32Dialogs dialogs(owner);
    {
        DialogResponder responder(L"在下午显示的字符", Click(IDCANCEL));
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
        DialogResponder responder(L"确认", Click(IDNO));
        EXPECT_EQ(dialogs.ShowMessageBox(L"是否？", kButtonsYesNo, L"确认"), kAnswerNo);
    }
    {
        DialogResponder responder(L"确认", Click(IDYES));
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
        std::thread user([&] { Click(IDCANCEL)(WaitForDialogCount(1)); });
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

}  // namespace
}  // namespace torvane
