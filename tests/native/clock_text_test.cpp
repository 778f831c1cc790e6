#include <deque>
#include <gtest/gtest.h>
#include <optional>

#include "tests/native/test_support.h"
#include "tweaks/mod_regSetting.h"

namespace torvane {
namespace {

const std::wstring kInternational = L"Control Panel\\International";

struct ClockCase {
    const char* name;
    std::wstring morning;
    std::wstring afternoon;
    std::wstring timeFormat;
};
void PrintTo(const ClockCase& c, std::ostream* out) {
    *out << c.name;
}

class ClockTextTest : public testing::TaskTest, public ::testing::WithParamInterface<ClockCase> {
  protected:
    std::optional<StoredValue> Stored(const wchar_t* name) {
        return registry.Value(RegistryRoot::CurrentUser, kInternational, name);
    }
};

TEST_P(ClockTextTest, AsksTwiceThenWritesThreeStrings) {
    const ClockCase& c = GetParam();
    // Run twice: the marker run must not grow from one run to the next.
    for (int run = 0; run < 2; ++run) {
        ui.log.clear();
        ui.inputBoxAnswers = {c.morning, c.afternoon};
        mod_regSetting::SetClockText(context);
        EXPECT_EQ(ui.log, (std::vector<UiEvent>{InputBoxEvent(L"输入字符", L"在上午显示的字符"),
                                                InputBoxEvent(L"输入字符", L"在下午显示的字符")}));
        EXPECT_EQ(Stored(L"sTimeFormat"), StringValue(c.timeFormat));
        EXPECT_EQ(Stored(L"s1159"), StringValue(c.morning));
        EXPECT_EQ(Stored(L"s2359"), StringValue(c.afternoon));
        EXPECT_EQ(registry.ValueNames(RegistryRoot::CurrentUser, kInternational),
                  (std::vector<std::wstring>{L"s1159", L"s2359", L"sTimeFormat"}));
        EXPECT_EQ(registry.requests, (std::vector<RegistryRequest>{{L"CreateKey", kInternational},
                                                                   {L"SetString", L"sTimeFormat"},
                                                                   {L"SetString", L"s1159"},
                                                                   {L"SetString", L"s2359"},
                                                                   {L"CloseKey", L""}}));
        registry.requests.clear();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ClockTextTest,
    ::testing::Values(ClockCase{"BothEmpty", L"", L"", L"HH:mm:ss:"},
                      ClockCase{"LatinVersusChinese", L"am", L"下午好", L"HH:mm:ss:ttt"},
                      ClockCase{"OneEach", L"A", L"P", L"HH:mm:ss:t"},
                      ClockCase{"OnlyAfternoon", L"", L"下午", L"HH:mm:ss:tt"},
                      ClockCase{"MorningLonger", L"早上好呀", L"pm", L"HH:mm:ss:tttt"},
                      // A character outside the BMP is two UTF-16 units and keeps both.
                      ClockCase{"SurrogatePair", L"\xD83D\xDE00", L"", L"HH:mm:ss:tt"},
                      ClockCase{"OutsideCodePage936", L"\u00E9t\u00E9", L"\u0E01",
                                L"HH:mm:ss:ttt"}),
    [](const auto& info) { return std::string(info.param.name); });

// Cancel in either box ends the task: the user's own markers stay, and the
// afternoon box does not follow a cancelled morning box.
struct ClockCancel {
    const char* name;
    std::deque<std::optional<std::wstring>> answers;
    size_t boxesShown;
};
void PrintTo(const ClockCancel& c, std::ostream* out) {
    *out << c.name;
}

class ClockCancelTest : public testing::TaskTest,
                        public ::testing::WithParamInterface<ClockCancel> {};

TEST_P(ClockCancelTest, WritesNothingAndOpensNoKey) {
    registry.Put(RegistryRoot::CurrentUser, kInternational, L"s1159", StringValue(L"上午"));
    ui.inputBoxAnswers = GetParam().answers;
    mod_regSetting::SetClockText(context);
    EXPECT_EQ(ui.log.size(), GetParam().boxesShown);
    EXPECT_TRUE(registry.requests.empty());
    EXPECT_EQ(registry.Value(RegistryRoot::CurrentUser, kInternational, L"s1159"),
              StringValue(L"上午"));
    EXPECT_EQ(registry.ValueCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Boxes, ClockCancelTest,
                         ::testing::Values(ClockCancel{"First", {std::nullopt}, 1},
                                           ClockCancel{"Second", {L"am", std::nullopt}, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace torvane
