#include "tweaks/original_values.h"

#include <gtest/gtest.h>

#include "app/task_catalogue.h"
#include "platform/fake/fake_record_store.h"
#include "tests/native/test_support.h"
#include "tweaks/mod_regSetting.h"

namespace torvane {
namespace {

using namespace mod_regSetting;

const std::wstring kPolicy = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const std::wstring kExplorer = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::wstring kFileSystem = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
constexpr auto kUser = RegistryRoot::CurrentUser;
constexpr auto kMachine = RegistryRoot::LocalMachine;

class OriginalsTest : public testing::TaskTest {
  protected:
    void SetUp() override {
        TaskTest::SetUp();
        context.originals = &store;
        // Nobody holds the record's lock across a dialog.
        ui.whileDialogShows = [this] { locksAtDialogs.push_back(store.LockHeld()); };
    }
    void TearDown() override {
        for (bool held : locksAtDialogs) EXPECT_FALSE(held) << "the lock was held across a dialog";
        EXPECT_FALSE(store.LockHeld());
        TaskTest::TearDown();
    }
    std::vector<Original> Recorded() {
        if (!store.file) return {};
        const RegFileReading reading =
            ReadRegFile(*store.file, [](const RegFileEntry&) { return true; });
        EXPECT_TRUE(reading.ok()) << reading.refusedLine;
        return reading.entries;
    }
    std::optional<StoredValue> Now(RegistryRoot root, const std::wstring& path,
                                   const std::wstring& name) {
        return registry.Value(root, path, name);
    }
    FakeRecordStore store;
    std::vector<bool> locksAtDialogs;
};

TEST_F(OriginalsTest, OnlyTheFirstChangeIsRecordedAndSavedBeforeTheWrite) {
    registry.Put(kUser, kExplorer, L"NoDesktop", StoredValue{kRegSz, {'x', 0}});  // no NUL
    ui.messageBoxAnswers = {kAnswerYes, kAnswerNo, kAnswerYes};
    ToggleDesktopIcons(context);  // Yes: 1
    const std::vector<Original> first{
        {kUser, kExplorer, L"NoDesktop", StoredValue{kRegSz, {'x', 0}}}};
    EXPECT_EQ(Recorded(), first);
    ToggleDesktopIcons(context);  // No: deleted
    ToggleDesktopIcons(context);  // Yes again
    EXPECT_EQ(Recorded(), first) << "a later change keeps the earlier original";
    EXPECT_EQ(Now(kUser, kExplorer, L"NoDesktop"), DwordValue(1));

    DisableRegistryEditor(context);  // a value that was absent
    EXPECT_EQ(Recorded().back(), (Original{kUser, kPolicy, L"DisableRegistryTools", std::nullopt}));
}

TEST_F(OriginalsTest, AnEntryEqualToThePresentCountsAsNoneAndGoesAtTheNextSave) {
    DisableRegistryEditor(context);
    EnableRegistryEditor(context);  // back where it was: the entry equals the present
    EXPECT_TRUE(ReadOriginals(context).originals.empty());
    OptimizeFileSystem(context);
    EXPECT_EQ(
        Recorded(),
        (std::vector<Original>{{kMachine, kFileSystem, L"ConfigFileAllocsize", std::nullopt}}));
    // A write that fails leaves an entry equal to the present, which is none.
    registry.RefuseWrites(kUser, kExplorer, 1009);
    ui.messageBoxAnswers = {kAnswerYes};
    ToggleDesktopIcons(context);
    EXPECT_EQ(ReadOriginals(context).originals.size(), 1u);
}

// The record cannot be kept: the user is asked, No changes nothing, Yes goes on
// without it, and a record that cannot be read is never written over.
struct KeepFailure {
    const char* name;
    std::optional<std::vector<std::uint8_t>> file;
    ErrorCode lockError;
    ErrorCode replaceError;
    std::wstring why;  // after "无法保存原值：<path>"
};
void PrintTo(const KeepFailure& c, std::ostream* out) {
    *out << c.name;
}

class KeepFailureTest : public OriginalsTest, public ::testing::WithParamInterface<KeepFailure> {};

TEST_P(KeepFailureTest, AsksAndNoChangesNothing) {
    const KeepFailure& c = GetParam();
    store.file = c.file;
    store.lockError = c.lockError;
    store.replaceError = c.replaceError;
    const std::wstring question =
        L"无法保存原值：" + store.path + c.why + L"\r\n仍然修改吗？修改后无法用本程序恢复原值。";
    ui.messageBoxAnswers = {kAnswerNo};
    DisableRegistryEditor(context);
    EXPECT_EQ(ui.log, (std::vector<UiEvent>{MessageBoxEvent(question, 4, L"错误")}));
    EXPECT_EQ(registry.KeyCount(), 0u) << "No opens no key";

    ui.messageBoxAnswers = {kAnswerYes};
    DisableRegistryEditor(context);
    EXPECT_EQ(Now(kUser, kPolicy, L"DisableRegistryTools"), DwordValue(1));
    EXPECT_EQ(store.file, c.file) << "the record is as it was";
}

std::vector<std::uint8_t> Damaged() {
    return EncodeRegFile(
        L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\x]\r\n"
        L"\"a\"=dword:1\r\n\r\n");
}
std::vector<std::uint8_t> Planted() {
    return EncodeRegFile(FormatRegFile({{kMachine, L"SOFTWARE\\Run", L"x", std::nullopt}}));
}

INSTANTIATE_TEST_SUITE_P(
    Records, KeepFailureTest,
    ::testing::Values(
        KeepFailure{"Damaged", Damaged(), kSuccess, kSuccess, L"（第 4 行）"},
        KeepFailure{"AValueNoTaskWrites", Planted(), kSuccess, kSuccess, L"（第 4 行）"},
        KeepFailure{"NoLock", std::nullopt, kErrorAccessDenied, kSuccess, L"\r\n拒绝访问。"},
        KeepFailure{"DiskFull", std::nullopt, kSuccess, 112, L"\r\n错误 112"}),
    [](const auto& info) { return std::string(info.param.name); });

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
