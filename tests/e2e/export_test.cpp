// Exporting a task's changes through the task list's menu, with the real mouse
// and keyboard: the task's own dialogs, nothing written, and a file that
// reg import turns into exactly what running the task gives.
#include "tests/e2e/task_menu_fixture.h"

namespace torvane::e2e {
namespace {

struct Where {
    HKEY root;
    std::wstring key;
    std::wstring name;
};

// The save dialog's name box, in either of the dialog's layouts.
HWND FileNameBox(HWND dialog) {
    HWND box = GetDlgItem(dialog, 0x47C);          // cmb13
    return box ? box : GetDlgItem(dialog, 0x480);  // edt1
}

struct Answer {
    std::wstring title;
    int button;
    std::optional<std::wstring> typed = std::nullopt;
};

struct ExportRun {
    const char* name;
    int label;
    int index;
    std::wstring taskText;
    std::vector<Answer> answers;
    Where where;
    RawValue other;  // set before each run, so that a delete shows
};
void PrintTo(const ExportRun& run, std::ostream* out) {
    *out << run.name;
}

class ExportEndToEndTest : public TaskMenuTest, public ::testing::WithParamInterface<ExportRun> {
  protected:
    void AnswerTheTask() {
        for (const Answer& answer : GetParam().answers) {
            DialogSeen dialog = ExpectDialog(answer.title);
            if (answer.typed) app->TypeIntoInputBox(dialog, *answer.typed);
            app->PressDialogButton(dialog, answer.button);
        }
    }
    std::optional<RawValue> Now() {
        const Where& where = GetParam().where;
        return ReadValue(where.root, where.key, where.name);
    }
    void SetOther() {
        const Where& where = GetParam().where;
        PutValue(where.root, where.key, where.name, GetParam().other);
    }
};

TEST_P(ExportEndToEndTest, ImportingTheFileGivesWhatRunningTheTaskGives) {
    const ExportRun& run = GetParam();
    const std::wstring file = ModuleFolder() + L"\\export-" + std::to_wstring(run.index) + L".reg";
    DeleteFileW(file.c_str());
    SetOther();
    app->ClickLabel(run.label);
    RightClickItem(run.index);
    Choose(4);  // 导出为 .reg 文件…, after the separator
    AnswerTheTask();
    auto save = app->WaitForDialog();
    ASSERT_TRUE(save);
    // Sent, not GetWindowText: across processes that reads only captions.
    wchar_t suggested[256] = {};
    for (int i = 0; i < 100 && !suggested[0]; ++i, Sleep(20))
        SendMessageW(FileNameBox(save->handle), WM_GETTEXT, 256,
                     reinterpret_cast<LPARAM>(suggested));
    EXPECT_EQ(Utf8(suggested), Utf8(run.taskText)) << "the task's text is the suggested name";
    app->AnswerFileDialog(*save, file);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(Now(), run.other) << "an export changes nothing";

    const std::string bytes = ReadBytes(file);
    const std::wstring header = L"\xFEFFWindows Registry Editor Version 5.00\r\n";
    ASSERT_GE(bytes.size(), header.size() * 2);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), header.size()), header);
    ASSERT_EQ(RunToExit(L"reg.exe import \"" + file + L"\""), 0u);
    const auto imported = Now();

    SetOther();
    StartTask(run.label, run.index);
    AnswerTheTask();
    ASSERT_TRUE(app->WaitForDialogsToClose());
    const Where& where = run.where;
    EXPECT_EQ(imported, SettledValue(where.root, where.key, where.name, imported));
    EXPECT_NE(imported, run.other);
    DeleteFileW(file.c_str());
}

const std::wstring kPolicy = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const std::wstring kExplorer = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::wstring kLanman = L"SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters";

INSTANTIATE_TEST_SUITE_P(
    Tasks, ExportEndToEndTest,
    ::testing::Values(ExportRun{"EnableEditorDeletes",
                                1,
                                3,
                                L"允许使用注册表编辑器",
                                {},
                                {HKEY_CURRENT_USER, kPolicy, L"DisableRegistryTools"},
                                DwordBytes(5)},
                      ExportRun{"Threshold",
                                2,
                                0,
                                L"设置磁盘空间不够的警戒值",
                                {{L"按百分比输入", IDOK, L"42"}},
                                {HKEY_LOCAL_MACHINE, kLanman, L"DiskSpaceThreshold"},
                                DwordBytes(77)},
                      ExportRun{"DesktopIconsNoDeletes",
                                3,
                                2,
                                L"隐藏桌面所有图标",
                                {{L"确认", IDNO}},
                                {HKEY_CURRENT_USER, kExplorer, L"NoDesktop"},
                                DwordBytes(1)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace torvane::e2e
