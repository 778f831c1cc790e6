#include <functional>
#include <optional>
#include <vector>

#include "tests/e2e/task_menu_fixture.h"
#include "tests/e2e/tweak_values.h"

namespace torvane::e2e {
namespace {

const std::wstring kExplorerPolicy =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::wstring kUnloadKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL";
const std::wstring kFileSystemKey = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
const std::wstring kLanman = L"SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters";
const std::wstring kMetrics = L"Control Panel\\Desktop\\WindowMetrics";

// One step of a task's conversation: the dialog expected and what the user does.
struct Step {
    std::wstring title;
    std::wstring text;                  // expected prompt or message
    int button = IDOK;                  // pressed after typing
    std::optional<std::wstring> typed;  // typed into an input box first
};

struct TaskRun {
    const char* name;
    int label;
    int index;
    std::vector<Step> steps;
    Where where;
    std::optional<RawValue> expected;               // nullopt: absent afterwards
    std::optional<RawValue> before = std::nullopt;  // set before the run
};
void PrintTo(const TaskRun& run, std::ostream* out) {
    *out << run.name;
}

class TaskEndToEndTest : public EndToEndTest, public ::testing::WithParamInterface<TaskRun> {};

TEST_P(TaskEndToEndTest, DialogsInOrderThenTheRealRegistry) {
    const TaskRun& run = GetParam();
    ValueGuard guard(run.where);
    if (run.before) {
        PutValue(run.where.root, run.where.key, run.where.name, *run.before);
    }
    StartTask(run.label, run.index);
    for (const Step& step : run.steps) {
        DialogSeen dialog = ExpectDialog(step.title);
        ASSERT_TRUE(dialog.handle);
        EXPECT_EQ(Utf8(dialog.text), Utf8(step.text));
        if (step.typed) app->TypeIntoInputBox(dialog, *step.typed);
        app->PressDialogButton(dialog, step.button);
    }
    ASSERT_TRUE(app->WaitForDialogsToClose());
    // The task may still be at work after its last dialog: the first change
    // of a run finds the record's folder first.
    EXPECT_EQ(SettledValue(run.where.root, run.where.key, run.where.name, run.expected),
              run.expected);
    // Still usable: the list is intact and another click works.
    app->ClickLabel(1);
    EXPECT_EQ(app->ListItems().size(), 4u);
}

const Step kError(const wchar_t* message) {
    return {L"错误", message, IDOK, std::nullopt};
}
const Step Typed(const wchar_t* title, const wchar_t* text) {
    return {title, L"输入数字", IDOK, text};
}
const Step kDesktopYes{L"确认", L"是否隐藏桌面所有图标？是：隐藏、否：恢复隐藏", IDYES,
                       std::nullopt};
const Step kDesktopNo{L"确认", L"是否隐藏桌面所有图标？是：隐藏、否：恢复隐藏", IDNO, std::nullopt};
const Step kUnloadYes{L"提示", L"是否自动卸载？是：自动、否：取消自动卸载", IDYES, std::nullopt};
const Step kUnloadNo{L"提示", L"是否自动卸载？是：自动、否：取消自动卸载", IDNO, std::nullopt};

INSTANTIATE_TEST_SUITE_P(
    Tasks, TaskEndToEndTest,
    ::testing::Values(TaskRun{"DisableRegistryEditor",
                              1,
                              2,
                              {},
                              {HKEY_CURRENT_USER, kSystemPolicy, L"DisableRegistryTools"},
                              DwordBytes(1)},
                      TaskRun{"EnableRegistryEditor",
                              1,
                              3,
                              {},
                              {HKEY_CURRENT_USER, kSystemPolicy, L"DisableRegistryTools"},
                              std::nullopt,
                              DwordBytes(1)},
                      TaskRun{"HideDesktopIconsYes",
                              3,
                              2,
                              {kDesktopYes},
                              {HKEY_CURRENT_USER, kExplorerPolicy, L"NoDesktop"},
                              DwordBytes(1)},
                      TaskRun{"HideDesktopIconsNo",
                              3,
                              2,
                              {kDesktopNo},
                              {HKEY_CURRENT_USER, kExplorerPolicy, L"NoDesktop"},
                              std::nullopt,
                              DwordBytes(1)},
                      TaskRun{"UnloadDllYes",
                              4,
                              1,
                              {kUnloadYes},
                              {HKEY_LOCAL_MACHINE, kUnloadKey, L""},
                              StringBytes(L"1")},
                      TaskRun{"UnloadDllNo",
                              4,
                              1,
                              {kUnloadNo},
                              {HKEY_LOCAL_MACHINE, kUnloadKey, L""},
                              StringBytes(L"0")},
                      TaskRun{"OptimizeFileSystem",
                              4,
                              2,
                              {},
                              {HKEY_LOCAL_MACHINE, kFileSystemKey, L"ConfigFileAllocsize"},
                              DwordBytes(500),
                              DwordBytes(7)},
                      TaskRun{"ThresholdDefault",
                              2,
                              0,
                              {{L"按百分比输入", L"输入数字", IDOK, std::nullopt}},
                              {HKEY_LOCAL_MACHINE, kLanman, L"DiskSpaceThreshold"},
                              DwordBytes(8)},
                      TaskRun{"ThresholdHalfToEven",
                              2,
                              0,
                              {Typed(L"按百分比输入", L"99.5")},
                              {HKEY_LOCAL_MACHINE, kLanman, L"DiskSpaceThreshold"},
                              DwordBytes(100)},
                      TaskRun{"ThresholdOutOfRange",
                              2,
                              0,
                              {Typed(L"按百分比输入", L"101"), kError(L"输入的数字不是0至100")},
                              {HKEY_LOCAL_MACHINE, kLanman, L"DiskSpaceThreshold"},
                              DwordBytes(33),
                              DwordBytes(33)},
                      TaskRun{"ThresholdCancelled",
                              2,
                              0,
                              {{L"按百分比输入", L"输入数字", IDCANCEL, std::nullopt},
                               kError(L"不能为空")},
                              {HKEY_LOCAL_MACHINE, kLanman, L"DiskSpaceThreshold"},
                              std::nullopt},
                      TaskRun{"IconSizeDefault",
                              3,
                              1,
                              {{L"按百分比输入", L"输入数字", IDOK, std::nullopt}},
                              {HKEY_CURRENT_USER, kMetrics, L"Shell Icon Size"},
                              StringBytes(L"32")},
                      TaskRun{"IconSizeExponent",
                              3,
                              1,
                              {Typed(L"按百分比输入", L"1e2")},
                              {HKEY_CURRENT_USER, kMetrics, L"Shell Icon Size"},
                              StringBytes(L"100")},
                      TaskRun{"IconSizeLetters",
                              3,
                              1,
                              {Typed(L"按百分比输入", L"abc"), kError(L"输入的不是数字")},
                              {HKEY_CURRENT_USER, kMetrics, L"Shell Icon Size"},
                              std::nullopt},
                      TaskRun{"HungAppDefault",
                              4,
                              0,
                              {{L"输入秒数", L"输入数字", IDOK, std::nullopt}},
                              {HKEY_USERS, kDefaultDesktop, L"WaitToKillAppTimeout"},
                              StringBytes(L"20000")},
                      TaskRun{"HungAppFraction",
                              4,
                              0,
                              {Typed(L"输入秒数", L"2.5")},
                              {HKEY_USERS, kDefaultDesktop, L"WaitToKillAppTimeout"},
                              StringBytes(L"2500")},
                      TaskRun{"HungAppNegative",
                              4,
                              0,
                              {Typed(L"输入秒数", L"-1"), kError(L"输入的数字超出范围")},
                              {HKEY_USERS, kDefaultDesktop, L"WaitToKillAppTimeout"},
                              StringBytes(L"9000"),
                              StringBytes(L"9000")},
                      TaskRun{"HungAppBlanks",
                              4,
                              0,
                              {Typed(L"输入秒数", L"  "), kError(L"输入的不是数字")},
                              {HKEY_USERS, kDefaultDesktop, L"WaitToKillAppTimeout"},
                              std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace torvane::e2e
