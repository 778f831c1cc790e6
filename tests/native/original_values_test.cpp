#include "tweaks/original_values.h"

#include <gtest/gtest.h>

#include "app/task_catalogue.h"
#include "tests/native/originals_fixture.h"
#include "tweaks/mod_regSetting.h"

namespace torvane {
namespace {

using namespace mod_regSetting;
using testing::OriginalsTest;

const std::wstring kPolicy = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const std::wstring kFileSystem = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
constexpr auto kUser = RegistryRoot::CurrentUser;
constexpr auto kMachine = RegistryRoot::LocalMachine;

TEST_F(OriginalsTest, RestoreGoesOnPastAFailureAndKeepsOnlyWhatFailed) {
    registry.Put(kUser, kPolicy, L"Wallpaper", StoredValue{kRegExpandSz, {'w', 0, 0, 0}});
    registry.Put(kMachine, kFileSystem, L"ConfigFileAllocsize", DwordValue(7));
    ui.messageBoxAnswers = {kAnswerYes};
    SetThemeDesktop(context);  // Wallpaper, Wallpaperstyle (absent before)
    OptimizeFileSystem(context);
    registry.RefuseWrites(kMachine, kFileSystem, kErrorAccessDenied);
    ui.elevationState = ElevationState::Elevated;
    ui.log.clear();
    ui.messageBoxAnswers = {kAnswerYes};
    RestoreOriginals(context, nullptr);

    const std::wstring machine = L"HKEY_LOCAL_MACHINE\\" + kFileSystem + L" 中的 ";
    EXPECT_EQ(
        ui.log,
        (std::vector<UiEvent>{
            MessageBoxEvent(
                L"是否把以下值恢复为原值？\r\n\r\n【设置主题桌面】\r\n"
                L"注册表项：HKEY_CURRENT_USER\\" +
                    kPolicy +
                    L"\r\n\u3000\u3000Wallpaper：现在 “C:\\Torvane\\Lindor省Corvanta有限公司.htm”，"
                    L"恢复为 “w”（REG_EXPAND_SZ）\r\n"
                    L"\u3000\u3000Wallpaperstyle：现在 “0”，恢复为 未设置（将删除此值）\r\n"
                    L"\r\n【优化Windows文件系统】\r\n"
                    L"注册表项：HKEY_LOCAL_MACHINE\\" +
                    kFileSystem + L"\r\n\u3000\u3000ConfigFileAllocsize：现在 500，恢复为 7",
                4, L"恢复原值"),
            MessageBoxEvent(
                L"以下值没有恢复为原值：\r\n" + machine + L"ConfigFileAllocsize：拒绝访问。", 0,
                L"错误")}));
    EXPECT_EQ(Now(kUser, kPolicy, L"Wallpaper"), (StoredValue{kRegExpandSz, {'w', 0, 0, 0}}));
    EXPECT_EQ(Now(kUser, kPolicy, L"Wallpaperstyle"), std::nullopt);
    EXPECT_EQ(
        Recorded(),
        (std::vector<Original>{{kMachine, kFileSystem, L"ConfigFileAllocsize", DwordValue(7)}}));
}

TEST_F(OriginalsTest, RestoringOneTaskLeavesTheOthersAndNoWritesNothing) {
    DisableRegistryEditor(context);
    OptimizeFileSystem(context);
    const auto before = store.file;
    ui.messageBoxAnswers = {kAnswerNo};
    RestoreOriginals(context, &kOptimizeFileSystemTip);
    EXPECT_EQ(store.file, before);
    EXPECT_EQ(Now(kMachine, kFileSystem, L"ConfigFileAllocsize"), DwordValue(500));
    ui.messageBoxAnswers = {kAnswerYes};
    RestoreOriginals(context, &kOptimizeFileSystemTip);
    EXPECT_EQ(Now(kMachine, kFileSystem, L"ConfigFileAllocsize"), std::nullopt);
    EXPECT_EQ(Recorded(),
              (std::vector<Original>{{kUser, kPolicy, L"DisableRegistryTools", std::nullopt}}));
}

TEST_F(OriginalsTest, RestoreCreatesNoKey) {
    store.file = EncodeRegFile(
        FormatRegFile({{kMachine, kFileSystem, L"ConfigFileAllocsize", DwordValue(7)}}));
    ui.elevationState = ElevationState::Elevated;
    ui.messageBoxAnswers = {kAnswerYes};
    RestoreOriginals(context, nullptr);
    EXPECT_FALSE(registry.KeyExists(kMachine, kFileSystem));
    ASSERT_EQ(ui.log.size(), 2u);
    EXPECT_EQ(ui.log[1],
              MessageBoxEvent(L"以下值没有恢复为原值：\r\nHKEY_LOCAL_MACHINE\\" + kFileSystem +
                                  L" 中的 ConfigFileAllocsize：系统找不到指定的文件。",
                              0, L"错误"));
    EXPECT_EQ(Recorded().size(), 1u) << "what was not put back stays recorded";
}

// Absent already, though it cannot be read to tell: the delete that puts it
// back finds nothing, and that is no failure.
TEST_F(OriginalsTest, PuttingBackAnAbsentValueThatIsGoneIsNoFailure) {
    store.file =
        EncodeRegFile(FormatRegFile({{kUser, kPolicy, L"DisableRegistryTools", std::nullopt}}));
    registry.Put(kUser, kPolicy, L"Wallpaper", StringValue(L"x"));  // the key exists
    registry.RefuseReads(kUser, kPolicy, kErrorAccessDenied);
    ui.messageBoxAnswers = {kAnswerYes};
    RestoreOriginals(context, nullptr);
    ASSERT_EQ(ui.log.size(), 1u) << "the question, and no failure after it";
    EXPECT_EQ(ui.log[0].title, L"恢复原值");
    EXPECT_EQ(registry.requests.end()[-2],
              (RegistryRequest{L"DeleteValue", L"DisableRegistryTools"}));
    EXPECT_TRUE(Recorded().empty());
}

// Restores refused for want of rights, for a standard user: the first value
// refused picks the advice, as for a task, and a policy key is one in any
// letter case.
struct RefusedRestore {
    const char* name;
    std::vector<Original> originals;  // each is 1 now, and its key refuses writes
    const wchar_t* advice;
};
void PrintTo(const RefusedRestore& c, std::ostream* out) {
    *out << c.name;
}

class RefusedRestoreTest : public OriginalsTest,
                           public ::testing::WithParamInterface<RefusedRestore> {};

TEST_P(RefusedRestoreTest, TheFirstRefusedValuePicksTheAdvice) {
    const RefusedRestore& c = GetParam();
    std::wstring failures;
    for (const Original& original : c.originals) {
        registry.Put(original.root, original.path, original.name, DwordValue(1));
        registry.RefuseWrites(original.root, original.path, kErrorAccessDenied);
        failures += L"\r\n" + RootName(original.root) + L"\\" + original.path + L" 中的 " +
                    original.name + L"：拒绝访问。";
    }
    store.file = EncodeRegFile(FormatRegFile(c.originals));
    ui.messageBoxAnswers = {kAnswerYes};
    RestoreOriginals(context, nullptr);
    ASSERT_EQ(ui.log.size(), 2u);
    EXPECT_EQ(ui.log[1],
              MessageBoxEvent(L"以下值没有恢复为原值：" + failures + c.advice, 0, L"错误"));
    EXPECT_EQ(Recorded(), c.originals);
}

const Original kPolicyOriginal{kUser, kPolicy, L"DisableRegistryTools", std::nullopt};
const Original kMachineOriginal{kMachine, kFileSystem, L"ConfigFileAllocsize", std::nullopt};

INSTANTIATE_TEST_SUITE_P(
    Advice, RefusedRestoreTest,
    ::testing::Values(
        RefusedRestore{"PolicyFirst", {kPolicyOriginal, kMachineOriginal}, testing::kPolicyAdvice},
        RefusedRestore{
            "MachineFirst", {kMachineOriginal, kPolicyOriginal}, testing::kRunAsAdministrator},
        RefusedRestore{"PolicyInOtherLetterCase",
                       {{kUser, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\policies\\System",
                         L"DisableRegistryTools", std::nullopt}},
                       testing::kPolicyAdvice}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AllTaskDescriptions, AreTheCataloguesAndNoOtherValueIsAllowed) {
    std::vector<const TaskDescription*> catalogue;
    for (const TaskCategory& category : TaskCatalogue())
        for (const TaskEntry& task : category.tasks) catalogue.push_back(task.description);
    EXPECT_EQ(std::vector<const TaskDescription*>(AllTaskDescriptions().begin(),
                                                  AllTaskDescriptions().end()),
              catalogue);
    EXPECT_TRUE(WrittenByATask({kUser, L"control panel\\INTERNATIONAL", L"s1159", std::nullopt}));
    EXPECT_FALSE(
        WrittenByATask({kUser, L"Control Panel\\International", L"sShortDate", std::nullopt}));
    EXPECT_FALSE(
        WrittenByATask({kMachine, L"Control Panel\\International", L"s1159", std::nullopt}));
}

}  // namespace
}  // namespace torvane
