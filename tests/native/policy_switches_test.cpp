#include <gtest/gtest.h>
#include <optional>

#include "tests/native/test_support.h"
#include "tweaks/mod_regSetting.h"

namespace torvane {
namespace {

using namespace mod_regSetting;

const std::wstring kSystemPolicy =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const std::wstring kExplorerPolicy =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::wstring kUnloadKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL";
const std::wstring kFileSystemKey = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";

const UiEvent kDesktopQuestion =
    MessageBoxEvent(L"是否隐藏桌面所有图标？是：隐藏、否：恢复隐藏", 4, L"确认");
const UiEvent kUnloadQuestion =
    MessageBoxEvent(L"是否自动卸载？是：自动、否：取消自动卸载", 4, L"提示");

using TaskOperation = void (*)(TweakContext&);

struct SwitchCase {
    const char* name;
    TaskOperation operation;
    std::optional<int> answer;  // the question's answer, if it asks
    std::optional<UiEvent> question;
    RegistryRoot root;
    std::wstring key;
    std::wstring valueName;
    std::optional<StoredValue> before;  // the value before the run
    std::optional<StoredValue> after;   // nullopt: the value is absent afterwards
};
void PrintTo(const SwitchCase& c, std::ostream* out) {
    *out << c.name;
}

class PolicySwitchTest : public testing::TaskTest,
                         public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(PolicySwitchTest, AsksThenWritesExactlyOneValue) {
    const SwitchCase& c = GetParam();
    if (c.before) registry.Put(c.root, c.key, c.valueName, *c.before);
    if (c.answer) ui.messageBoxAnswers.push_back(*c.answer);

    c.operation(context);

    std::vector<UiEvent> expectedLog;
    if (c.question) expectedLog.push_back(*c.question);
    EXPECT_EQ(ui.log, expectedLog);
    EXPECT_TRUE(ui.messageBoxAnswers.empty());
    EXPECT_TRUE(registry.KeyExists(c.root, c.key));
    EXPECT_EQ(registry.Value(c.root, c.key, c.valueName), c.after);
    EXPECT_EQ(registry.ValueCount(), c.after ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Branches, PolicySwitchTest,
    ::testing::Values(SwitchCase{"DisableEditor",
                                 DisableRegistryEditor,
                                 {},
                                 {},
                                 RegistryRoot::CurrentUser,
                                 kSystemPolicy,
                                 L"DisableRegistryTools",
                                 {},
                                 DwordValue(1)},
                      SwitchCase{"DisableEditorOverZero",
                                 DisableRegistryEditor,
                                 {},
                                 {},
                                 RegistryRoot::CurrentUser,
                                 kSystemPolicy,
                                 L"DisableRegistryTools",
                                 DwordValue(0),
                                 DwordValue(1)},
                      SwitchCase{"EnableEditorRemoves",
                                 EnableRegistryEditor,
                                 {},
                                 {},
                                 RegistryRoot::CurrentUser,
                                 kSystemPolicy,
                                 L"DisableRegistryTools",
                                 DwordValue(1),
                                 std::nullopt},
                      SwitchCase{"EnableEditorWhenAbsent",
                                 EnableRegistryEditor,
                                 {},
                                 {},
                                 RegistryRoot::CurrentUser,
                                 kSystemPolicy,
                                 L"DisableRegistryTools",
                                 {},
                                 std::nullopt},
                      SwitchCase{"HideIconsYes",
                                 ToggleDesktopIcons,
                                 kAnswerYes,
                                 kDesktopQuestion,
                                 RegistryRoot::CurrentUser,
                                 kExplorerPolicy,
                                 L"NoDesktop",
                                 {},
                                 DwordValue(1)},
                      SwitchCase{"HideIconsNo", ToggleDesktopIcons, kAnswerNo, kDesktopQuestion,
                                 RegistryRoot::CurrentUser, kExplorerPolicy, L"NoDesktop",
                                 DwordValue(1), std::nullopt},
                      SwitchCase{"HideIconsOtherAnswer", ToggleDesktopIcons, 2, kDesktopQuestion,
                                 RegistryRoot::CurrentUser, kExplorerPolicy, L"NoDesktop",
                                 DwordValue(1), std::nullopt},
                      SwitchCase{"UnloadYes",
                                 SetAlwaysUnloadDll,
                                 kAnswerYes,
                                 kUnloadQuestion,
                                 RegistryRoot::LocalMachine,
                                 kUnloadKey,
                                 L"",
                                 {},
                                 StringValue(L"1")},
                      SwitchCase{"UnloadNo",
                                 SetAlwaysUnloadDll,
                                 kAnswerNo,
                                 kUnloadQuestion,
                                 RegistryRoot::LocalMachine,
                                 kUnloadKey,
                                 L"",
                                 {},
                                 StringValue(L"0")},
                      SwitchCase{"UnloadNoAfterYes", SetAlwaysUnloadDll, kAnswerNo, kUnloadQuestion,
                                 RegistryRoot::LocalMachine, kUnloadKey, L"", StringValue(L"1"),
                                 StringValue(L"0")},
                      SwitchCase{"UnloadOtherAnswer",
                                 SetAlwaysUnloadDll,
                                 0,
                                 kUnloadQuestion,
                                 RegistryRoot::LocalMachine,
                                 kUnloadKey,
                                 L"",
                                 {},
                                 StringValue(L"0")},
                      SwitchCase{"OptimizeFileSystem",
                                 OptimizeFileSystem,
                                 {},
                                 {},
                                 RegistryRoot::LocalMachine,
                                 kFileSystemKey,
                                 L"ConfigFileAllocsize",
                                 DwordValue(4096),
                                 DwordValue(500)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PolicySwitchTest, KeysAndNamesKeepTheirLetterCase) {
    ui.messageBoxAnswers = {kAnswerYes, kAnswerYes};
    DisableRegistryEditor(context);
    ToggleDesktopIcons(context);
    SetAlwaysUnloadDll(context);
    OptimizeFileSystem(context);
    EXPECT_EQ(registry.openLog, (std::vector<std::pair<RegistryRoot, std::wstring>>{
                                    {RegistryRoot::CurrentUser, kSystemPolicy},
                                    {RegistryRoot::CurrentUser, kExplorerPolicy},
                                    {RegistryRoot::LocalMachine, kUnloadKey},
                                    {RegistryRoot::LocalMachine, kFileSystemKey}}));
    EXPECT_EQ(registry.ValueNames(RegistryRoot::CurrentUser, kSystemPolicy),
              std::vector<std::wstring>{L"DisableRegistryTools"});
    EXPECT_EQ(registry.ValueNames(RegistryRoot::CurrentUser, kExplorerPolicy),
              std::vector<std::wstring>{L"NoDesktop"});
    EXPECT_EQ(registry.ValueNames(RegistryRoot::LocalMachine, kFileSystemKey),
              std::vector<std::wstring>{L"ConfigFileAllocsize"});
}

}  // namespace
}  // namespace torvane
