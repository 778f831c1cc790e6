#include "platform/numeric_text.h"

#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "tests/native/test_support.h"

namespace torvane {
namespace {

struct NumericCase {
    std::wstring text;
    std::optional<std::int64_t> whole;  // nullopt: the text is not numeric
    double real = 0;
};
void PrintTo(const NumericCase& c, std::ostream* out) {
    *out << "\"" << testing::Utf8(c.text) << "\"";
}
// A test name that shows the text: letters and digits as they are, anything
// else as its code in hex, so that every case gets a distinct valid name.
std::string CaseName(const ::testing::TestParamInfo<NumericCase>& info) {
    std::string name = "_";
    for (wchar_t c : info.param.text) {
        if ((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z')) {
            name += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "_%X_", static_cast<unsigned>(c));
            name += hex;
        }
    }
    return name.size() > 40 ? name.substr(0, 40) + "_" + std::to_string(info.index) : name;
}

class NumericTextTest : public ::testing::TestWithParam<NumericCase> {};

TEST_P(NumericTextTest, TestAndReadingsAgree) {
    const NumericCase& c = GetParam();
    SCOPED_TRACE(testing::Utf8(c.text));
    EXPECT_EQ(IsNumericText(c.text), c.whole.has_value());
    EXPECT_EQ(ReadWhole(c.text), c.whole);
    const auto real = ReadReal(c.text);
    ASSERT_EQ(real.has_value(), c.whole.has_value());
    if (real) {
        EXPECT_DOUBLE_EQ(*real, c.real);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, NumericTextTest,
    ::testing::Values(
        NumericCase{L"8", 8, 8}, NumericCase{L"0", 0, 0}, NumericCase{L"-5", -5, -5},
        NumericCase{L"+7", 7, 7}, NumericCase{L"2.5", 2, 2.5}, NumericCase{L"3.5", 4, 3.5},
        NumericCase{L"99.5", 100, 99.5}, NumericCase{L"0.4", 0, 0.4}, NumericCase{L"0.5", 0, 0.5},
        NumericCase{L"1.5", 2, 1.5}, NumericCase{L"-2.5", -2, -2.5}, NumericCase{L"-3.5", -4, -3.5},
        NumericCase{L"2.5000000001", 3, 2.5000000001}, NumericCase{L".5", 0, 0.5},
        NumericCase{L".51", 1, 0.51}, NumericCase{L"5.", 5, 5}, NumericCase{L"1e2", 100, 100},
        NumericCase{L"1E+2", 100, 100}, NumericCase{L"25e-1", 2, 2.5}, NumericCase{L"48.0", 48, 48},
        NumericCase{L"007", 7, 7}, NumericCase{L"1e-400", 0, 0},
        NumericCase{L"2147483647", 2147483647, 2147483647.0},
        NumericCase{L"-2147483648", -2147483648LL, -2147483648.0},
        NumericCase{L"2147483647.4", 2147483647, 2147483647.4},
        // More digits than 64 bits hold, and powers beyond those a double holds exactly.
        NumericCase{L"123456789012345678901234567890e-21", 123456789,
                    123456789.01234567890123456789},
        NumericCase{L"1234567890123456789e-30", 0, 1.234567890123456789e-12}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Rejected, NumericTextTest,
    ::testing::Values(NumericCase{L"", std::nullopt}, NumericCase{L" ", std::nullopt},
                      NumericCase{L" 8", std::nullopt}, NumericCase{L"8 ", std::nullopt},
                      NumericCase{L"abc", std::nullopt}, NumericCase{L"1,5", std::nullopt},
                      NumericCase{L"&H10", std::nullopt}, NumericCase{L"0x10", std::nullopt},
                      NumericCase{L"NaN", std::nullopt}, NumericCase{L"Infinity", std::nullopt},
                      NumericCase{L"1e309", std::nullopt}, NumericCase{L"1e10", std::nullopt},
                      NumericCase{L"2147483648", std::nullopt},
                      NumericCase{L"2147483647.5", std::nullopt},
                      NumericCase{L"-2147483649", std::nullopt}, NumericCase{L".", std::nullopt},
                      NumericCase{L"+", std::nullopt}, NumericCase{L"1e", std::nullopt},
                      NumericCase{L"1e+", std::nullopt}, NumericCase{L"e5", std::nullopt},
                      NumericCase{L"1.2.3", std::nullopt}, NumericCase{L"--1", std::nullopt},
                      NumericCase{L"\uFF18", std::nullopt},  // full-width 8
                      NumericCase{L"1\t", std::nullopt}, NumericCase{L"1\r\n", std::nullopt},
                      // About 10^849999, its one digit far behind the point: refused like 1e400.
                      NumericCase{L"0." + std::wstring(150000, L'0') + L"1e1000000", std::nullopt}),
    CaseName);

// About 10^-850000, its digits far before the point: it reads as 0.
INSTANTIATE_TEST_SUITE_P(LongerThanTheExponentMargin, NumericTextTest,
                         ::testing::Values(NumericCase{
                             L"1" + std::wstring(150000, L'0') + L"e-1000000", 0, 0}),
                         CaseName);

TEST(ReadWholeScaled, SecondsToMillisecondsIsExact) {
    EXPECT_EQ(ReadWhole(L"2.5", 3), 2500);
    EXPECT_EQ(ReadWhole(L"20", 3), 20000);
    EXPECT_EQ(ReadWhole(L"0.0005", 3), 0);  // half goes to even 0
    EXPECT_EQ(ReadWhole(L"0.0015", 3), 2);  // half goes to even 2
    EXPECT_EQ(ReadWhole(L"2.0005", 3), 2000);
    EXPECT_EQ(ReadWhole(L"2.00051", 3), 2001);
    EXPECT_EQ(ReadWhole(L"-1", 3), -1000);
    EXPECT_EQ(ReadWhole(L"2147483647", 3), 2147483647000LL);
    EXPECT_EQ(ReadWhole(L"abc", 3), std::nullopt);
}

TEST(ReadWholeScaled, HugeExponentsAndLongTextsStaySafe) {
    EXPECT_FALSE(IsNumericText(L"1e99999999999999999999"));
    EXPECT_TRUE(IsNumericText(L"1e-99999999999999999999"));
    EXPECT_TRUE(IsNumericText(std::wstring(32767, L'0')));
    EXPECT_FALSE(IsNumericText(std::wstring(32767, L'9')));
}

TEST(DecimalText, WritesPlainAsciiDigitsToTheEndsOf64Bits) {
    const struct {
        std::int64_t value;
        std::wstring text;
    } cases[] = {{0, L"0"},
                 {7, L"7"},
                 {-5, L"-5"},
                 {10, L"10"},
                 {2500, L"2500"},
                 {-2147483648LL, L"-2147483648"},
                 {4294967295LL, L"4294967295"},
                 {INT64_MAX, L"9223372036854775807"},
                 {INT64_MIN, L"-9223372036854775808"}};
    for (const auto& c : cases) {
        EXPECT_EQ(testing::Utf8(DecimalText(c.value)), testing::Utf8(c.text)) << c.value;
    }
}

}  // namespace
}  // namespace torvane
