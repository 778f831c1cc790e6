// Running programs are told of a change to the regional settings: after the
// clock's values are written, and never when nothing was written.
#include <deque>
#include <gtest/gtest.h>
#include <optional>

#include "platform/fake/fake_record_store.h"
#include "platform/fake/fake_setting_broadcast.h"
#include "tests/native/form1_fixture.h"
#include "tweaks/mod_regSetting.h"
#include "tweaks/original_values.h"

namespace torvane {
namespace {

const std::wstring kInternational = L"Control Panel\\International";
constexpr auto kUser = RegistryRoot::CurrentUser;

struct ClockRun {
    const char* name;
    std::deque<std::optional<std::wstring>> typed;
    ErrorCode writeError = kSuccess;       // of every write under the key
    ErrorCode recordLockError = kSuccess;  // the record of originals cannot be kept
    std::deque<int> answers = {};          // to "仍然修改吗？"
    bool told = false;
};
void PrintTo(const ClockRun& c, std::ostream* out) {
    *out << c.name;
}

class BroadcastTest : public testing::TaskTest {
  protected:
    void SetUp() override {
        TaskTest::SetUp();
        context.originals = &store;
        context.settingBroadcast = &broadcast;
    }
    FakeRecordStore store;
    FakeSettingBroadcast broadcast;
};

class ClockBroadcastTest : public BroadcastTest, public ::testing::WithParamInterface<ClockRun> {};

TEST_P(ClockBroadcastTest, TellsOnlyAfterTheValuesAreWritten) {
    const ClockRun& c = GetParam();
    ui.inputBoxAnswers = c.typed;
    ui.messageBoxAnswers = c.answers;
    store.lockError = c.recordLockError;
    if (c.writeError != kSuccess) registry.RefuseWrites(kUser, kInternational, c.writeError);
    std::vector<std::optional<StoredValue>> atNotice;
    int openKeysAtNotice = -1;
    broadcast.whileSending = [&] {
        for (const wchar_t* name : {L"sTimeFormat", L"s1159", L"s2359"})
            atNotice.push_back(registry.Value(kUser, kInternational, name));
        openKeysAtNotice = registry.OpenKeyCount();
    };
    mod_regSetting::SetClockText(context);
    if (!c.told) {
        EXPECT_TRUE(broadcast.sent.empty());
        return;
    }
    EXPECT_EQ(broadcast.sent, std::vector<std::wstring>{L"intl"});
    EXPECT_EQ(atNotice, (std::vector<std::optional<StoredValue>>{
                            StringValue(L"HH:mm:ss:tt"), StringValue(L"am"), StringValue(L"pm")}))
        << "all three written before the notice";
    EXPECT_EQ(openKeysAtNotice, 0) << "and the key closed";
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ClockBroadcastTest,
    ::testing::Values(ClockRun{"Written", {L"am", L"pm"}, kSuccess, kSuccess, {}, true},
                      ClockRun{"WriteRefused", {L"am", L"pm"}, kErrorAccessDenied},
                      ClockRun{"FirstBoxCancelled", {std::nullopt}},
                      ClockRun{"SecondBoxCancelled", {L"am", std::nullopt}},
                      ClockRun{"NoRecordAndNo", {L"am", L"pm"}, kSuccess, 32, {kAnswerNo}},
                      ClockRun{"NoRecordAndYes", {L"am", L"pm"}, kSuccess, 32, {kAnswerYes}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// An export runs the task against a capture: nothing changed, nobody is told.
// Run from the same menu, the task is.
using ClockExportTest = testing::Form1HandlersTest;

TEST_F(ClockExportTest, AnExportTellsNobody) {
    FakeSettingBroadcast broadcast;
    context.settingBroadcast = &broadcast;
    form.OnLoad();
    ui.inputBoxAnswers = {L"am", L"pm"};
    ui.exportDialog.answers = {L"D:\\clock.reg"};
    testing::FakeTaskMenu exportMenu(MenuCommand::Export);
    form.OnContextMenu(L"在任务栏时间后面加入字符", exportMenu);
    ASSERT_EQ(ui.savedFiles.count(L"D:\\clock.reg"), 1u);
    EXPECT_TRUE(broadcast.sent.empty());

    ui.inputBoxAnswers = {L"am", L"pm"};
    testing::FakeTaskMenu runMenu(MenuCommand::Run);
    form.OnContextMenu(L"在任务栏时间后面加入字符", runMenu);
    EXPECT_EQ(broadcast.sent, std::vector<std::wstring>{L"intl"});
}

// Putting back values of the regional settings tells running programs too,
// once, after the record is saved and let go; nothing else does.
struct RestoreRun {
    const char* name;
    std::vector<Original> recorded;  // every one differs from the registry now
    int answer = kAnswerYes;
    bool refused = false;  // writes under the regional settings fail
    bool told = false;
};
void PrintTo(const RestoreRun& c, std::ostream* out) {
    *out << c.name;
}

const Original kMorning{kUser, kInternational, L"s1159", StringValue(L"AM")};
const Original kFormat{kUser, L"control panel\\INTERNATIONAL", L"sTimeFormat", std::nullopt};
const Original kFileSystem{RegistryRoot::LocalMachine,
                           L"SYSTEM\\CurrentControlSet\\Control\\FileSystem",
                           L"ConfigFileAllocsize", DwordValue(7)};

class RestoreBroadcastTest : public BroadcastTest,
                             public ::testing::WithParamInterface<RestoreRun> {};

TEST_P(RestoreBroadcastTest, TellsOnceAfterRegionalValuesArePutBack) {
    const RestoreRun& c = GetParam();
    store.file = EncodeRegFile(FormatRegFile(c.recorded));
    for (const Original& original : c.recorded)
        registry.Put(original.root, original.path, original.name, StringValue(L"changed"));
    if (c.refused) registry.RefuseWrites(kUser, kInternational, kErrorAccessDenied);
    std::optional<StoredValue> morningAtNotice;
    bool lockHeldAtNotice = true;
    broadcast.whileSending = [&] {
        morningAtNotice = registry.Value(kUser, kInternational, L"s1159");
        lockHeldAtNotice = store.LockHeld();
    };
    ui.messageBoxAnswers = {c.answer};
    RestoreOriginals(context, nullptr);
    if (!c.told) {
        EXPECT_TRUE(broadcast.sent.empty());
        return;
    }
    EXPECT_EQ(broadcast.sent, std::vector<std::wstring>{L"intl"});
    EXPECT_EQ(morningAtNotice, StringValue(L"AM")) << "put back before the notice";
    EXPECT_FALSE(lockHeldAtNotice);
}

INSTANTIATE_TEST_SUITE_P(
    Restores, RestoreBroadcastTest,
    ::testing::Values(
        RestoreRun{"Regional", {kMorning, kFormat, kFileSystem}, kAnswerYes, false, true},
        RestoreRun{"No", {kMorning, kFileSystem}, kAnswerNo},
        RestoreRun{"OnlyOtherValues", {kFileSystem}},
        RestoreRun{"RegionalRefused", {kMorning, kFileSystem}, kAnswerYes, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace torvane
