// The restore question as a user reads it: each value once, under the first
// task that writes it, its key named once; and when the screen is short, what
// fits and a count of the rest, all of which are still put back.
#include "tweaks/restore_question.h"

#include <climits>
#include <gtest/gtest.h>

#include "platform/fake/fake_record_store.h"
#include "tests/native/test_support.h"
#include "tweaks/mod_regSetting.h"

namespace torvane {
namespace {

const std::wstring kPolicy = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const std::wstring kInternational = L"Control Panel\\International";
const std::wstring kFileSystem = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
const std::wstring kUnloadDll =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL";
const std::wstring kServer = L"SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters";
constexpr auto kUser = RegistryRoot::CurrentUser;
constexpr auto kMachine = RegistryRoot::LocalMachine;

class RestoreQuestionTest : public testing::TaskTest {
  protected:
    void SetUp() override {
        TaskTest::SetUp();
        context.originals = &store;
    }
    // Each original into the record, and the value now into the registry.
    void Changed(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                 std::optional<StoredValue> original, std::optional<StoredValue> now) {
        originals.push_back({root, path, name, original});
        if (now) registry.Put(root, path, name, *now);
        store.file = EncodeRegFile(FormatRegFile(originals));
    }
    std::wstring Asked(const TaskDescription* task) {
        ui.log.clear();
        ui.messageBoxAnswers = {kAnswerNo};
        RestoreOriginals(context, task);
        EXPECT_EQ(ui.log.size(), 1u);
        return ui.log.empty() ? L"" : ui.log[0].text;
    }
    FakeRecordStore store;
    std::vector<Original> originals;
};

// Recorded in no particular order; asked in catalogue order, the clock's
// values in the order the task writes them.
TEST_F(RestoreQuestionTest, GroupsUnderTasksInCatalogueOrder) {
    Changed(kMachine, kFileSystem, L"ConfigFileAllocsize", DwordValue(7), DwordValue(500));
    Changed(kUser, kInternational, L"s1159", std::nullopt, StringValue(L"早安"));
    Changed(kUser, kPolicy, L"DisableRegistryTools", std::nullopt, DwordValue(1));
    Changed(kUser, kInternational, L"sTimeFormat", StringValue(L"HH:mm:ss"),
            StringValue(L"HH:mm:ss:tt"));
    Changed(kMachine, kUnloadDll, L"", StoredValue{3, {1, 2}}, StringValue(L"1"));
    Changed(kMachine, kServer, L"DiskSpaceThreshold", DwordValue(10), std::nullopt);
    registry.RefuseReads(kMachine, kServer, kErrorAccessDenied);
    const std::wstring all = Asked(nullptr);
    EXPECT_EQ(
        testing::Utf8(all),
        testing::Utf8(L"是否把以下值恢复为原值？\r\n"
                      L"\r\n【禁用注册表编辑器】\r\n"
                      L"注册表项：HKEY_CURRENT_USER\\" +
                      kPolicy +
                      L"\r\n"
                      L"\u3000\u3000DisableRegistryTools：现在 1，恢复为 未设置（将删除此值）\r\n"
                      L"\r\n【设置磁盘空间不够的警戒值】\r\n"
                      L"注册表项：HKEY_LOCAL_MACHINE\\" +
                      kServer +
                      L"\r\n"
                      L"\u3000\u3000DiskSpaceThreshold：现在 无法读取，恢复为 10\r\n"
                      L"\r\n【在任务栏时间后面加入字符】\r\n"
                      L"注册表项：HKEY_CURRENT_USER\\" +
                      kInternational +
                      L"\r\n"
                      L"\u3000\u3000sTimeFormat：现在 “HH:mm:ss:tt”，恢复为 “HH:mm:ss”\r\n"
                      L"\u3000\u3000s1159：现在 “早安”，恢复为 未设置（将删除此值）\r\n"
                      L"\r\n【从内存中卸载无用的DLL文件】\r\n"
                      L"注册表项：HKEY_LOCAL_MACHINE\\" +
                      kUnloadDll +
                      L"\r\n"
                      L"\u3000\u3000（默认）：现在 “1”，恢复为 （类型 3，2 字节）\r\n"
                      L"\r\n【优化Windows文件系统】\r\n"
                      L"注册表项：HKEY_LOCAL_MACHINE\\" +
                      kFileSystem +
                      L"\r\n"
                      L"\u3000\u3000ConfigFileAllocsize：现在 500，恢复为 7"));

    // One task's own values, headed by that task, though another writes them too.
    EXPECT_EQ(
        testing::Utf8(Asked(&mod_regSetting::kEnableRegistryEditorTip)),
        testing::Utf8(L"是否把以下值恢复为原值？\r\n\r\n【允许使用注册表编辑器】\r\n"
                      L"注册表项：HKEY_CURRENT_USER\\" +
                      kPolicy +
                      L"\r\n"
                      L"\u3000\u3000DisableRegistryTools：现在 1，恢复为 未设置（将删除此值）"));
}

// The five values below take fifteen lines; the box holds the lines that fit
// less six for its title bar and buttons, and never ends on a heading.
struct CutCase {
    int capacity;
    size_t linesKept;    // of the fifteen
    std::wstring count;  // the last line, "" when all fit
};
void PrintTo(const CutCase& c, std::ostream* out) {
    *out << "capacity " << c.capacity;
}

const std::vector<std::wstring> kFifteenLines{
    L"是否把以下值恢复为原值？",
    L"",
    L"【禁用注册表编辑器】",
    L"注册表项：HKEY_CURRENT_USER\\" + kPolicy,
    L"\u3000\u3000DisableRegistryTools：现在 1，恢复为 未设置（将删除此值）",
    L"",
    L"【在任务栏时间后面加入字符】",
    L"注册表项：HKEY_CURRENT_USER\\" + kInternational,
    L"\u3000\u3000sTimeFormat：现在 “HH:mm:ss:tt”，恢复为 “HH:mm:ss”",
    L"\u3000\u3000s1159：现在 “早安”，恢复为 “AM”",
    L"\u3000\u3000s2359：现在 “晚安”，恢复为 “PM”",
    L"",
    L"【优化Windows文件系统】",
    L"注册表项：HKEY_LOCAL_MACHINE\\" + kFileSystem,
    L"\u3000\u3000ConfigFileAllocsize：现在 500，恢复为 7"};

class RestoreCutTest : public RestoreQuestionTest, public ::testing::WithParamInterface<CutCase> {};

TEST_P(RestoreCutTest, ShowsWhatFitsAndPutsEverythingBack) {
    Changed(kUser, kPolicy, L"DisableRegistryTools", std::nullopt, DwordValue(1));
    Changed(kUser, kInternational, L"s2359", StringValue(L"PM"), StringValue(L"晚安"));
    Changed(kUser, kInternational, L"s1159", StringValue(L"AM"), StringValue(L"早安"));
    Changed(kUser, kInternational, L"sTimeFormat", StringValue(L"HH:mm:ss"),
            StringValue(L"HH:mm:ss:tt"));
    Changed(kMachine, kFileSystem, L"ConfigFileAllocsize", DwordValue(7), DwordValue(500));
    ui.messageBoxLineCapacity = GetParam().capacity;
    std::wstring expected;
    for (size_t i = 0; i < GetParam().linesKept; ++i)
        expected += (i ? L"\r\n" : L"") + kFifteenLines[i];
    if (!GetParam().count.empty()) expected += L"\r\n" + GetParam().count;
    ui.messageBoxAnswers = {kAnswerYes};
    RestoreOriginals(context, nullptr);
    ASSERT_EQ(ui.log.size(), 1u);
    EXPECT_EQ(testing::Utf8(ui.log[0].text), testing::Utf8(expected));
    for (const Original& original : originals) {
        EXPECT_EQ(registry.Value(original.root, original.path, original.name), original.value)
            << testing::Utf8(original.name) << " was not put back";
    }
    EXPECT_EQ(store.file, EncodeRegFile(FormatRegFile({})));
}

INSTANTIATE_TEST_SUITE_P(Capacities, RestoreCutTest,
                         ::testing::Values(CutCase{INT_MAX, 15, L""}, CutCase{21, 15, L""},
                                           CutCase{20, 11, L"……另有 1 项"},
                                           CutCase{16, 9, L"……另有 3 项"},
                                           // Not a heading or a key without a value under it.
                                           CutCase{15, 5, L"……另有 4 项"},
                                           CutCase{13, 5, L"……另有 4 项"},
                                           // However short the screen, one value is shown.
                                           CutCase{0, 5, L"……另有 4 项"}));

}  // namespace
}  // namespace torvane
