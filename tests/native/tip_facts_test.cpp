// What the tips say a policy leaves behind, and that the clock's change is
// announced: whole lines, in every tip that needs them, even the longest.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/task_catalogue.h"
#include "platform/fake/fake_record_store.h"
#include "tests/native/test_support.h"
#include "tweaks/mod_regSetting.h"

namespace torvane {
namespace {

struct PolicyTip {
    std::wstring task;
    std::vector<std::wstring> lines;  // each a whole line of the tip
};
void PrintTo(const PolicyTip& c, std::ostream* out) {
    *out << testing::Utf8(c.task);
}

const std::wstring kManaged = L"此值存在时，Windows 设置中可能显示“某些设置由你的组织管理”。";
const std::wstring kDomain = L"加入域的电脑上，组织的组策略可能改写或删除此值。";

class PolicyTipTest : public testing::TaskTest, public ::testing::WithParamInterface<PolicyTip> {};

TEST_P(PolicyTipTest, SaysWhatTheValueLeavesBehind) {
    const std::wstring tip = TaskTip(GetParam().task, context);
    for (const std::wstring& line : GetParam().lines) {
        EXPECT_NE(tip.find(L"\r\n" + line + L"\r\n"), std::wstring::npos)
            << testing::Utf8(line) << "\nnot a line of\n"
            << testing::Utf8(tip);
    }
    EXPECT_LT(tip.find(L"\r\nWindows 10/11："), tip.find(L"\r\n" + GetParam().lines[0]));
    EXPECT_LT(tip.find(L"\r\n" + GetParam().lines[2]), tip.find(L"\r\n生效："));
}

INSTANTIATE_TEST_SUITE_P(
    FourPolicies, PolicyTipTest,
    ::testing::Values(
        PolicyTip{L"禁用注册表编辑器",
                  {kManaged,
                   L"删除此值（运行“允许使用注册表编辑器”或恢复原值）后，这条提示一般随之消失。",
                   kDomain}},
        PolicyTip{L"允许使用注册表编辑器",
                  {kManaged, L"本任务删除此值后，这条提示一般随之消失。",
                   L"加入域的电脑上，组织的组策略可能重新写入此值。"}},
        PolicyTip{L"隐藏桌面所有图标",
                  {kManaged, L"删除此值（选“否”或恢复原值）后，这条提示一般随之消失。", kDomain}},
        PolicyTip{
            L"设置主题桌面",
            {L"这两个值存在时，“设置 › 个性化 › 背景”可能被锁定，并显示“某些设置由你的组织管理”"
             L"。",
             L"删除这两个值（选“否”或恢复原值）后，一般会解除锁定，提示也随之消失。",
             L"加入域的电脑上，组织的组策略可能改写或删除这两个值。"}}));

const std::wstring kSystemPolicy =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

// The longest tip there is: both originals kept, the program in a deep
// folder, and the longest rights line. It still fits whole: the lines of what
// the policy leaves behind, the rights, the originals and the hints.
using TipFactsTest = testing::TaskTest;

TEST_F(TipFactsTest, TheThemeTipAtItsLongestEndsWhole) {
    FakeRecordStore store;
    context.originals = &store;
    ui.elevationState = ElevationState::UnelevatedAdministrator;
    ui.programFolder = L"C:\\" + std::wstring(250, L'深');
    const auto kUser = RegistryRoot::CurrentUser;
    registry.Put(kUser, kSystemPolicy, L"Wallpaper", StringValue(std::wstring(300, L'旧')));
    registry.Put(kUser, kSystemPolicy, L"Wallpaperstyle", StringValue(std::wstring(300, L'样')));
    ui.messageBoxAnswers = {kAnswerYes};
    mod_regSetting::SetThemeDesktop(context);
    ASSERT_EQ(registry.Value(kUser, kSystemPolicy, L"Wallpaperstyle"), StringValue(L"0"));

    const std::wstring tip = TaskTip(L"设置主题桌面", context);
    EXPECT_LT(tip.size(), kTipSizeLimit);
    const std::wstring tail =
        L"\r\n管理员权限：" + std::wstring(kUserPolicyAdmin) +
        L"本程序现在没有管理员权限（你是管理员，可以以管理员身份重新启动本程序）。"
        L"\r\n原值：Wallpaper = “" +
        std::wstring(40, L'旧') + L"…”（REG_SZ）\r\n原值：Wallpaperstyle = “" +
        std::wstring(40, L'样') +
        L"…”（REG_SZ）\r\n右键单击可恢复原值。\r\n右键单击可导出为 .reg 文件。";
    ASSERT_GE(tip.size(), tail.size());
    EXPECT_EQ(testing::Utf8(tip.substr(tip.size() - tail.size())), testing::Utf8(tail));
    EXPECT_NE(
        tip.find(L"\r\n加入域的电脑上，组织的组策略可能改写或删除这两个值。\r\n生效：下次登录后。"
                 L"\r\n管理员权限："),
        std::wstring::npos)
        << "nothing of the body is cut";
}

// The clock's tip says the change is announced at once, not that the clock
// shows it at once; no tip says nobody is told.
TEST_F(TipFactsTest, TheClockTipSaysRunningProgramsAreTold) {
    EXPECT_NE(TaskTip(L"在任务栏时间后面加入字符", context)
                  .find(L"\r\n生效：本程序写入后立即通知正在运行的程序，它们一般随即改用新的时间"
                        L"格式；任务栏时钟可能要到下次登录后才显示新的文字。\r\n"),
              std::wstring::npos);
    for (const TaskCategory& category : TaskCatalogue()) {
        for (const TaskEntry& task : category.tasks)
            EXPECT_EQ(TaskTip(task.text, context).find(L"不通知"), std::wstring::npos)
                << testing::Utf8(task.text);
    }
}

}  // namespace
}  // namespace torvane
