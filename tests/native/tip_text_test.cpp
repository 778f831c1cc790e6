// The pieces a tip is built from, kind by kind: a value's data, the cut at the
// limit, and the "写入：" line held to what each task really writes.
#include <deque>
#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/task_catalogue.h"
#include "platform/fake/fake_record_store.h"
#include "tests/native/test_support.h"
#include "tweaks/reg_file.h"

namespace torvane {
namespace {

std::wstring ManyA(size_t count) {
    return std::wstring(count, L'a');
}

// A system text of any length: the tip ends up under the limit, cut in its
// body, and the rights line at its end stays whole.
class WordyUi : public FakeUi {
  public:
    std::wstring ErrorText(ErrorCode) override { return text; }
    std::wstring text;
};

class TipLengthTest : public testing::TaskTest {
  protected:
    void SetUp() override {
        TaskTest::SetUp();
        registry.RefuseReads(RegistryRoot::LocalMachine, kFileSystem, kErrorAccessDenied);
    }
    // The file-system tip reads one value, which cannot be read: the text
    // given stands once in the tip.
    std::wstring TipWithSystemText(const std::wstring& text) {
        wordy.text = text;
        TweakContext wordyContext{registry, wordy, wordy.commonDialog1, wordy.commonDialog2,
                                  wordy,    wordy};
        return TaskTip(L"优化Windows文件系统", wordyContext);
    }
    WordyUi wordy;
    const std::wstring kFileSystem = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
    const std::wstring rights =
        L"\r\n管理员权限：需要。HKEY_LOCAL_MACHINE 中的项只有以管理员身份运行的程序能修改。"
        L"本程序现在没有管理员权限，你的账户也不是管理员。\r\n右键单击可导出为 .reg 文件。";
};

bool HasLoneSurrogate(const std::wstring& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const bool high = text[i] >= 0xD800 && text[i] < 0xDC00;
        const bool low = text[i] >= 0xDC00 && text[i] < 0xE000;
        const bool lowNext = i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
        const bool highBefore = i > 0 && text[i - 1] >= 0xD800 && text[i - 1] < 0xDC00;
        if ((high && !lowNext) || (low && !highBefore)) return true;
    }
    return false;
}

TEST_F(TipLengthTest, ATipOfTheLimitOrMoreIsCutBelowItAndKeepsItsRightsLine) {
    const std::wstring bareTip = TipWithSystemText(L"");
    const size_t bare = bareTip.size();
    ASSERT_LT(bare, kTipSizeLimit - 1);
    const std::wstring fill(kTipSizeLimit - 1 - bare, L'误');
    std::wstring uncut = bareTip;
    uncut.insert(uncut.find(L"无法读取（") + 5, fill);
    EXPECT_EQ(TipWithSystemText(fill), uncut) << "one character below the limit stays whole";
    for (size_t length : {kTipSizeLimit - bare, kTipSizeLimit - bare + 1, size_t{5000}}) {
        SCOPED_TRACE(length);
        const std::wstring tip = TipWithSystemText(std::wstring(length, L'误'));
        EXPECT_EQ(tip.size(), kTipSizeLimit - 1);
        EXPECT_EQ(tip.substr(tip.size() - rights.size() - 1), L"…" + rights);
    }
}

TEST_F(TipLengthTest, ACutBetweenTheHalvesOfAPairLeavesNoLoneHalf) {
    std::wstring pairs;
    for (int i = 0; i < 600; ++i) pairs += L"\xD83D\xDE00";
    // One of the two lands the cut inside a pair.
    for (const std::wstring& text : {pairs, L"x" + pairs}) {
        const std::wstring tip = TipWithSystemText(text);
        EXPECT_LT(tip.size(), kTipSizeLimit);
        EXPECT_FALSE(HasLoneSurrogate(tip));
    }
}

// How a value's data is shown, kind by kind.
struct ValueTextCase {
    const char* name;
    std::optional<StoredValue> value;
    size_t maxCharacters;
    std::wstring shown;
};
void PrintTo(const ValueTextCase& c, std::ostream* out) {
    *out << c.name;
}

class ValueTextTest : public ::testing::TestWithParam<ValueTextCase> {};

TEST_P(ValueTextTest, ShowsTheDataAsItIs) {
    std::wstring text;
    AppendValueText(text, GetParam().value, GetParam().maxCharacters);
    EXPECT_EQ(testing::Utf8(text), testing::Utf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ValueTextTest,
    ::testing::Values(
        ValueTextCase{"Absent", std::nullopt, 40, L"未设置"},
        ValueTextCase{"Dword", DwordValue(0x12345678), 40, L"305419896（REG_DWORD）"},
        ValueTextCase{"DwordOfThreeBytes", StoredValue{kRegDword, {1, 2, 3}}, 40,
                      L"（类型 4，3 字节）"},
        ValueTextCase{"OddLengthString", StoredValue{kRegSz, {'a', 0, 'b'}}, 40, L"“a”（REG_SZ）"},
        ValueTextCase{"Expandable", StoredValue{kRegExpandSz, {'%', 0, 0, 0}}, 40,
                      L"“%”（REG_EXPAND_SZ）"},
        ValueTextCase{"LineBreaks", StringValue(L"a\r\nb"), 40, L"“a  b”（REG_SZ）"},
        ValueTextCase{"Cut", StringValue(ManyA(41)), 40, L"“" + ManyA(40) + L"…”（REG_SZ）"},
        ValueTextCase{"CutInsideAPair", StringValue(ManyA(39) + L"\xD83D\xDE00"), 40,
                      L"“" + ManyA(39) + L"…”（REG_SZ）"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every task, every answer: what it really writes, names, kinds and data, is
// what its list of written values says, and so what its tip says.
struct WrittenCase {
    std::wstring text;
    Branch branch;
    std::deque<int> answers = {};
    std::deque<std::optional<std::wstring>> typed = {};
    std::deque<std::wstring> files = {};
};

void PrintTo(const WrittenCase& c, std::ostream* out) {
    *out << testing::Utf8(c.text)
         << (c.branch == Branch::Yes  ? " (Yes)"
             : c.branch == Branch::No ? " (No)"
                                      : "");
}

class WrittenValuesTest : public testing::TaskTest,
                          public ::testing::WithParamInterface<WrittenCase> {};

const TaskEntry& TaskNamed(const std::wstring& text) {
    for (const TaskCategory& category : TaskCatalogue())
        for (const TaskEntry& task : category.tasks)
            if (text == task.text) return task;
    throw std::invalid_argument("no such task");
}

TEST_P(WrittenValuesTest, TheTaskWritesWhatItsListSays) {
    const WrittenCase& c = GetParam();
    SCOPED_TRACE(testing::Utf8(c.text));
    const TaskEntry& task = TaskNamed(c.text);
    ui.messageBoxAnswers = c.answers;
    ui.inputBoxAnswers = c.typed;
    ui.commonDialog2.answers = c.files;
    task.operation(context);
    ASSERT_TRUE(task.description->key);
    const RegistryLocation& key = *task.description->key;

    std::vector<WrittenValue> expected;
    for (const WrittenValue& value : task.description->written)
        if (value.branch == Branch::Always || value.branch == c.branch) expected.push_back(value);
    std::vector<RegistryRequest> changes;
    for (const RegistryRequest& request : registry.requests) {
        if (request.kind == L"CreateKey") {
            EXPECT_EQ(request.what, key.path);
        }
        if (request.kind != L"CreateKey" && request.kind != L"CloseKey") changes.push_back(request);
    }
    ASSERT_EQ(changes.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const WrittenValue& value = expected[i];
        EXPECT_EQ(changes[i].what, value.name);
        const auto stored = registry.Value(key.root, key.path, value.name);
        if (value.kind == kDeleted) {
            EXPECT_EQ(changes[i].kind, L"DeleteValue");
            EXPECT_EQ(stored, std::nullopt);
            continue;
        }
        EXPECT_EQ(changes[i].kind, value.kind == kRegDword ? L"SetDword" : L"SetString");
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->kind, value.kind);
        if (value.data) {
            EXPECT_EQ(stored, value.kind == kRegDword ? DwordValue(std::stoul(value.data))
                                                      : StringValue(value.data));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryTaskAndAnswer, WrittenValuesTest,
    ::testing::Values(WrittenCase{L"禁用注册表编辑器", Branch::Always},
                      WrittenCase{L"允许使用注册表编辑器", Branch::Always},
                      WrittenCase{L"设置磁盘空间不够的警戒值", Branch::Always, {}, {L"8"}},
                      WrittenCase{L"设置登录时的桌面背景", Branch::Always, {}, {}, {L"C:\\a.bmp"}},
                      WrittenCase{L"设置桌面图标大小", Branch::Always, {}, {L"32"}},
                      WrittenCase{L"隐藏桌面所有图标", Branch::Yes, {kAnswerYes}},
                      WrittenCase{L"隐藏桌面所有图标", Branch::No, {kAnswerNo}},
                      WrittenCase{L"在任务栏时间后面加入字符", Branch::Always, {}, {L"am", L"pm"}},
                      WrittenCase{L"设置主题桌面", Branch::Yes, {kAnswerYes}},
                      WrittenCase{L"设置主题桌面", Branch::No, {kAnswerNo}},
                      WrittenCase{
                          L"缩短\u201C无响应程序\u201D等待时间", Branch::Always, {}, {L"20"}},
                      WrittenCase{L"从内存中卸载无用的DLL文件", Branch::Yes, {kAnswerYes}},
                      WrittenCase{L"从内存中卸载无用的DLL文件", Branch::No, {kAnswerNo}},
                      WrittenCase{L"优化Windows文件系统", Branch::Always}));

const std::wstring kSystemPolicy =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

class TipLinesTest : public testing::TaskTest {
  protected:
    std::wstring Tip(const std::wstring& text) { return TaskTip(text, context); }
};

// The originals this program keeps of the task's own values, after its rights
// line; what equals the registry now counts as none.
TEST_F(TipLinesTest, OriginalsOfTheTasksValuesComeLastWithTheHints) {
    const std::wstring international = L"Control Panel\\International";
    FakeRecordStore store;
    store.file = EncodeRegFile(FormatRegFile(
        {{RegistryRoot::CurrentUser, international, L"sTimeFormat",
          StringValue(std::wstring(50, L'a'))},
         {RegistryRoot::CurrentUser, international, L"s1159", std::nullopt},
         {RegistryRoot::CurrentUser, international, L"s2359", StringValue(L"x")},
         {RegistryRoot::CurrentUser, kSystemPolicy, L"DisableRegistryTools", std::nullopt}}));
    registry.Put(RegistryRoot::CurrentUser, international, L"s1159", StringValue(L"上午"));
    registry.Put(RegistryRoot::CurrentUser, international, L"s2359", StringValue(L"x"));
    registry.Put(RegistryRoot::CurrentUser, kSystemPolicy, L"DisableRegistryTools", DwordValue(1));
    context.originals = &store;
    const std::wstring tip = Tip(L"在任务栏时间后面加入字符");
    const std::wstring end = L"你的账户也不是管理员。\r\n原值：sTimeFormat = “" +
                             std::wstring(40, L'a') +
                             L"…”（REG_SZ）\r\n原值：s1159 = 未设置\r\n右键单击可恢复原值。\r\n"
                             L"右键单击可导出为 .reg 文件。";
    ASSERT_GE(tip.size(), end.size());
    EXPECT_EQ(testing::Utf8(tip.substr(tip.size() - end.size())), testing::Utf8(end));
    EXPECT_EQ(Tip(L"备份注册表").find(L"右键单击"), std::wstring::npos);

    store.file = EncodeRegFile(L"Windows Registry Editor Version 5.00\r\n\r\nx\r\n");
    EXPECT_NE(Tip(L"隐藏桌面所有图标")
                  .find(L"\r\n原值记录无法读取：" + store.path + L"（第 3 行）\r\n右键单击可导出"),
              std::wstring::npos);
    EXPECT_FALSE(store.LockHeld());
}

// The line itself, for a task with both answers.
TEST_F(TipLinesTest, TheWrittenLineSaysEachAnswer) {
    EXPECT_EQ(
        testing::Utf8(Tip(L"设置主题桌面").substr(0, Tip(L"设置主题桌面").find(L"\r\n当前值"))),
        testing::Utf8(L"修改：HKEY_CURRENT_USER\\" + kSystemPolicy +
                      L"\r\n选“是”时写入：Wallpaper = 本程序文件夹中“Lindor省Corvanta有限公司"
                      L".htm”的路径（REG_SZ），Wallpaperstyle = “0”（REG_SZ）；"
                      L"选“否”时删除：Wallpaper、Wallpaperstyle"));
}

}  // namespace
}  // namespace torvane
