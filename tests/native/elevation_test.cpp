#include "platform/elevation.h"

#include <gtest/gtest.h>

namespace torvane {
namespace {

// Only an administrator's split token is one prompt away from elevation; a
// split token of another user (Backup Operators, say) is a standard user's.
struct TokenCase {
    const char* name;
    TokenFacts facts;
    ElevationState expected;
};
void PrintTo(const TokenCase& c, std::ostream* out) {
    *out << c.name;
}

class ElevationDecisionTest : public ::testing::TestWithParam<TokenCase> {};

TEST_P(ElevationDecisionTest, FromTheTokenFacts) {
    EXPECT_EQ(DecideElevation(GetParam().facts), GetParam().expected);
}

constexpr auto kFull = TokenElevation::Full;
constexpr auto kLimited = TokenElevation::Limited;
constexpr auto kDefault = TokenElevation::Default;

INSTANTIATE_TEST_SUITE_P(
    Tokens, ElevationDecisionTest,
    ::testing::Values(
        TokenCase{"Full", {kFull, std::nullopt, false}, ElevationState::Elevated},
        TokenCase{"LimitedAdministrator",
                  {kLimited, true, false},
                  ElevationState::UnelevatedAdministrator},
        TokenCase{"LimitedBackupOperator", {kLimited, false, true}, ElevationState::StandardUser},
        TokenCase{
            "LimitedUnreadableLink", {kLimited, std::nullopt, true}, ElevationState::StandardUser},
        TokenCase{"DefaultAdministrator", {kDefault, std::nullopt, true}, ElevationState::Elevated},
        TokenCase{
            "DefaultStandardUser", {kDefault, std::nullopt, false}, ElevationState::StandardUser}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace torvane
