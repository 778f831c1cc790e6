#include <gtest/gtest.h>

#include "tests/native/originals_fixture.h"
#include "tweaks/mod_regSetting.h"

namespace torvane {
namespace {

using namespace mod_regSetting;
using testing::OriginalsTest;

const std::wstring kPolicy = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const std::wstring kExplorer = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::wstring kFileSystem = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
constexpr auto kUser = RegistryRoot::CurrentUser;
constexpr auto kMachine = RegistryRoot::LocalMachine;

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
    OptimizeFileSystem(context);
    DisableRegistryEditor(context);
    EnableRegistryEditor(context);  // back where it was: the entry equals the present
    EXPECT_EQ(ReadOriginals(context).originals.size(), 1u);
    OptimizeFileSystem(context);  // has nothing new to record, and saves the record without it
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
    std::wstring why;                // after "无法保存原值："
    ErrorCode readError = kSuccess;  // of the value the task changes
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
    if (c.readError != kSuccess) registry.RefuseReads(kUser, kPolicy, c.readError);
    const std::wstring question =
        L"无法保存原值：" + c.why + L"\r\n仍然修改吗？修改后无法用本程序恢复原值。";
    ui.messageBoxAnswers = {kAnswerNo};
    DisableRegistryEditor(context);
    EXPECT_EQ(ui.log, (std::vector<UiEvent>{MessageBoxEvent(question, 4, L"错误")}));
    EXPECT_EQ(registry.KeyCount(), 0u) << "No opens no key";

    ui.messageBoxAnswers = {kAnswerYes};
    DisableRegistryEditor(context);
    EXPECT_EQ(Now(kUser, kPolicy, L"DisableRegistryTools"), DwordValue(1));
    EXPECT_EQ(store.file, c.file) << "the record is as it was";
}

const std::wstring kRecord = FakeRecordStore().path;

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
        KeepFailure{"Damaged", Damaged(), kSuccess, kSuccess, kRecord + L"（第 4 行）"},
        KeepFailure{"AValueNoTaskWrites", Planted(), kSuccess, kSuccess, kRecord + L"（第 4 行）"},
        KeepFailure{"NoLock", std::nullopt, kErrorAccessDenied, kSuccess,
                    kRecord + L"\r\n拒绝访问。"},
        KeepFailure{"DiskFull", std::nullopt, kSuccess, 112, kRecord + L"\r\n错误 112"},
        // Not known, the original cannot be recorded: never as absent.
        KeepFailure{"ValueUnreadable", std::nullopt, kSuccess, kSuccess,
                    L"HKEY_CURRENT_USER\\" + kPolicy + L" 中的 DisableRegistryTools\r\n拒绝访问。",
                    kErrorAccessDenied}),
    [](const auto& info) { return std::string(info.param.name); });

// A value that cannot be read now is not known to equal its original: the
// entry stays in the record, and in what the tip and the menu offer.
TEST_F(OriginalsTest, AnUnreadableValueKeepsItsOriginal) {
    OptimizeFileSystem(context);
    registry.RefuseReads(kMachine, kFileSystem, kErrorAccessDenied);
    DisableRegistryEditor(context);  // saves the record again
    const std::vector<Original> both{{kMachine, kFileSystem, L"ConfigFileAllocsize", std::nullopt},
                                     {kUser, kPolicy, L"DisableRegistryTools", std::nullopt}};
    EXPECT_EQ(Recorded(), both);
    EXPECT_EQ(ReadOriginals(context).originals, both);
}

// The record holds a value once, however the record or a task spells it.
TEST_F(OriginalsTest, AValueRecordedInOtherLetterCaseIsNotRecordedAgain) {
    const std::vector<Original> spelled{
        {kUser, L"software\\microsoft\\windows\\currentversion\\policies\\system",
         L"DISABLEREGISTRYTOOLS", DwordValue(0)}};
    store.file = EncodeRegFile(FormatRegFile(spelled));
    DisableRegistryEditor(context);
    EXPECT_EQ(Now(kUser, kPolicy, L"DisableRegistryTools"), DwordValue(1));
    EXPECT_EQ(Recorded(), spelled);
}

}  // namespace
}  // namespace torvane
