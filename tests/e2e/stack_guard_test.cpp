// The program's own stack-protector runtime, exercised in a probe built with
// the same flags: a fresh unpredictable canary in every process, and a process
// that overruns a buffer ends at once with the stack-overrun status.
#include <windows.h>

#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "tests/e2e/app_driver.h"

namespace torvane::e2e {
namespace {

constexpr DWORD kStackBufferOverrun = 0xC0000409;
constexpr unsigned long long kUnseededCanary = 0x2B992DDFA232ull;

std::wstring ProbePath() {
    return ModuleFolder() + L"\\hardening\\stack_guard_probe.exe";
}

std::optional<DWORD> RunProbe(const std::wstring& arguments) {
    return RunToExit(L"\"" + ProbePath() + L"\" " + arguments);
}

std::string CanaryOfOneRun() {
    const std::wstring file = L"C:\\torvane-canary.txt";
    DeleteFileW(file.c_str());
    EXPECT_EQ(RunProbe(L"canary " + file), std::optional<DWORD>(0));
    std::ifstream in(file.c_str());
    std::string canary;
    in >> canary;
    DeleteFileW(file.c_str());
    return canary;
}

TEST(StackGuardTest, EveryProcessGetsItsOwnSeededCanary) {
    const std::string first = CanaryOfOneRun();
    const std::string second = CanaryOfOneRun();
    ASSERT_FALSE(first.empty());
    EXPECT_NE(std::stoull(first, nullptr, 16), kUnseededCanary);
    EXPECT_NE(std::stoull(first, nullptr, 16), 0ull);
    EXPECT_NE(first, second);
}

struct Overrun {
    const wchar_t* mode;
    const char* what;
};

class StackGuardOverrunTest : public ::testing::TestWithParam<Overrun> {};

TEST_P(StackGuardOverrunTest, EndsTheProcessWithTheStackOverrunStatus) {
    EXPECT_EQ(RunProbe(GetParam().mode), std::optional<DWORD>(kStackBufferOverrun))
        << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Overruns, StackGuardOverrunTest,
    ::testing::Values(Overrun{L"smash", "a loop writing past a stack buffer"},
                      Overrun{L"copy", "a checked memcpy longer than its target"}),
    [](const ::testing::TestParamInfo<Overrun>& info) { return Utf8(info.param.mode); });

}  // namespace
}  // namespace torvane::e2e
