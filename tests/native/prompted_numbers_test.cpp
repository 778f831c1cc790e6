#include <gtest/gtest.h>
#include <optional>

#include "tests/native/test_support.h"
#include "tweaks/mod_regSetting.h"

namespace torvane {
namespace {

using namespace mod_regSetting;
using TaskOperation = void (*)(TweakContext&);

const std::wstring kLanman = L"SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters";
const std::wstring kMetrics = L"Control Panel\\Desktop\\WindowMetrics";
const std::wstring kDefaultDesktop = L".DEFAULT\\Control Panel\\Desktop";

struct NumberTask {
    TaskOperation operation;
    UiEvent inputBox;
    RegistryRoot root;
    std::wstring key;
    std::wstring valueName;
};

const NumberTask kThreshold{SetDiskSpaceThreshold,
                            InputBoxEvent(L"输入数字", L"按百分比输入", L"8"),
                            RegistryRoot::LocalMachine, kLanman, L"DiskSpaceThreshold"};
const NumberTask kIconSize{SetDesktopIconSize, InputBoxEvent(L"输入数字", L"按百分比输入", L"32"),
                           RegistryRoot::CurrentUser, kMetrics, L"Shell Icon Size"};
const NumberTask kTimeout{SetHungAppTimeout, InputBoxEvent(L"输入数字", L"输入秒数", L"20"),
                          RegistryRoot::Users, kDefaultDesktop, L"WaitToKillAppTimeout"};

struct NumberCase {
    const char* name;
    const NumberTask* task;
    std::optional<std::wstring> typed;   // nothing stands for Cancel
    std::optional<StoredValue> written;  // nullopt: rejected
    std::wstring message = L"";          // the rejection's message
};
void PrintTo(const NumberCase& c, std::ostream* out) {
    *out << c.name;
}

class PromptedNumberTest : public testing::TaskTest,
                           public ::testing::WithParamInterface<NumberCase> {};

TEST_P(PromptedNumberTest, TestsInOrderThenWritesOrTouchesNothing) {
    const NumberCase& c = GetParam();
    ui.inputBoxAnswers = {c.typed};
    c.task->operation(context);

    std::vector<UiEvent> expected{c.task->inputBox};
    if (c.written) {
        EXPECT_EQ(registry.Value(c.task->root, c.task->key, c.task->valueName), c.written);
        EXPECT_EQ(registry.ValueCount(), 1u);
        EXPECT_EQ(registry.ValueNames(c.task->root, c.task->key),
                  std::vector<std::wstring>{c.task->valueName});
    } else {
        expected.push_back(MessageBoxEvent(c.message, 0, L"错误"));
        EXPECT_EQ(registry.KeyCount(), 0u) << "a rejected input must not even open a key";
        EXPECT_TRUE(registry.openLog.empty());
    }
    EXPECT_EQ(ui.log, expected);
}

const wchar_t* const kEmpty = L"不能为空";
const wchar_t* const kNotNumber = L"输入的不是数字";
const wchar_t* const kNotPercent = L"输入的数字不是0至100";
const wchar_t* const kOutOfRange = L"输入的数字超出范围";

INSTANTIATE_TEST_SUITE_P(
    DiskSpaceThreshold, PromptedNumberTest,
    ::testing::Values(NumberCase{"Default", &kThreshold, L"8", DwordValue(8)},
                      NumberCase{"Zero", &kThreshold, L"0", DwordValue(0)},
                      NumberCase{"Hundred", &kThreshold, L"100", DwordValue(100)},
                      NumberCase{"PointFour", &kThreshold, L"0.4", DwordValue(0)},
                      NumberCase{"TwoAndAHalf", &kThreshold, L"2.5", DwordValue(2)},
                      NumberCase{"NinetyNineAndAHalf", &kThreshold, L"99.5", DwordValue(100)},
                      NumberCase{"MinusOne", &kThreshold, L"-1", {}, kNotPercent},
                      NumberCase{"SmallNegative", &kThreshold, L"-0.4", {}, kNotPercent},
                      NumberCase{"HundredAndAHalf", &kThreshold, L"100.5", {}, kNotPercent},
                      NumberCase{"HundredAndOne", &kThreshold, L"101", {}, kNotPercent},
                      NumberCase{"Empty", &kThreshold, L"", {}, kEmpty},
                      NumberCase{"Cancel", &kThreshold, std::nullopt, {}, kEmpty},
                      NumberCase{"Blanks", &kThreshold, L"   ", {}, kNotNumber},
                      NumberCase{"Letters", &kThreshold, L"abc", {}, kNotNumber}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    DesktopIconSize, PromptedNumberTest,
    ::testing::Values(NumberCase{"Default", &kIconSize, L"32", StringValue(L"32")},
                      NumberCase{"Thousand", &kIconSize, L"1000", StringValue(L"1000")},
                      NumberCase{"MinusFive", &kIconSize, L"-5", StringValue(L"-5")},
                      NumberCase{"Exponent", &kIconSize, L"1e2", StringValue(L"100")},
                      NumberCase{"TrailingZero", &kIconSize, L"48.0", StringValue(L"48")},
                      NumberCase{"HalfToEven", &kIconSize, L"32.5", StringValue(L"32")},
                      NumberCase{"SmallNegative", &kIconSize, L"-0.4", StringValue(L"0")},
                      NumberCase{"Empty", &kIconSize, L"", {}, kEmpty},
                      NumberCase{"Cancel", &kIconSize, std::nullopt, {}, kEmpty},
                      NumberCase{"Blanks", &kIconSize, L" ", {}, kNotNumber},
                      NumberCase{"Letters", &kIconSize, L"big", {}, kNotNumber}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    HungAppTimeout, PromptedNumberTest,
    ::testing::Values(NumberCase{"Default", &kTimeout, L"20", StringValue(L"20000")},
                      NumberCase{"Five", &kTimeout, L"5", StringValue(L"5000")},
                      NumberCase{"Thirty", &kTimeout, L"30", StringValue(L"30000")},
                      NumberCase{"Fraction", &kTimeout, L"2.5", StringValue(L"2500")},
                      NumberCase{"Zero", &kTimeout, L"0", StringValue(L"0")},
                      NumberCase{"LargestDword", &kTimeout, L"4294967.295",
                                 StringValue(L"4294967295")},
                      NumberCase{"BeyondDword", &kTimeout, L"4294968", {}, kOutOfRange},
                      NumberCase{"JustBeyondDword", &kTimeout, L"4294967.296", {}, kOutOfRange},
                      NumberCase{"NegativeRoundingToZero", &kTimeout, L"-0.0004", {}, kOutOfRange},
                      NumberCase{"MinusOne", &kTimeout, L"-1", {}, kOutOfRange},
                      NumberCase{"TooBigToBeNumeric", &kTimeout, L"1e10", {}, kNotNumber},
                      NumberCase{"Empty", &kTimeout, L"", {}, kEmpty},
                      NumberCase{"Cancel", &kTimeout, std::nullopt, {}, kEmpty},
                      NumberCase{"Blanks", &kTimeout, L"  ", {}, kNotNumber},
                      NumberCase{"Letters", &kTimeout, L"soon", {}, kNotNumber}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace torvane
