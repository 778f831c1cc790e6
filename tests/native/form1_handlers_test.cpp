#include "app/form1_handlers.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

#include "tests/native/form1_fixture.h"

namespace torvane {
namespace {

using testing::Form1HandlersTest;
using testing::ListItem;

TEST_F(Form1HandlersTest, LoadSetsTheRegistryFilterAndListsTheRegistryTasks) {
    form.OnLoad();
    EXPECT_EQ(ui.commonDialog1.Filter(), L"注册表文件(*.reg)|*.reg");
    ui.commonDialog1.answers = {L"", L""};
    ui.commonDialog1.ShowSave();
    ui.commonDialog1.ShowOpen();
    EXPECT_EQ(ui.log[0].extension, L"reg") << "a name typed without an extension gets .reg";
    EXPECT_EQ(ui.log[1].extension, L"") << "an old backup without .reg can still be opened";
    ui.log.clear();
    EXPECT_EQ(ui.commonDialog2.Filter(), L"");
    EXPECT_EQ(list.items, (std::vector<ListItem>{{1, L"备份注册表", 3},
                                                 {2, L"还原注册表", 3},
                                                 {3, L"禁用注册表编辑器", 3},
                                                 {4, L"允许使用注册表编辑器", 3}}));
    EXPECT_FALSE(list.selected);
    EXPECT_TRUE(ui.log.empty());
}

const std::vector<std::vector<ListItem>> kCategoryLists{
    {{1, L"备份注册表", 3},
     {2, L"还原注册表", 3},
     {3, L"禁用注册表编辑器", 3},
     {4, L"允许使用注册表编辑器", 3}},
    {{1, L"设置磁盘空间不够的警戒值", 1}},
    {{1, L"设置登录时的桌面背景", 4},
     {2, L"设置桌面图标大小", 4},
     {3, L"隐藏桌面所有图标", 4},
     {4, L"在任务栏时间后面加入字符", 4},
     {5, L"设置主题桌面", 4}},
    {{1, L"缩短\u201C无响应程序\u201D等待时间", 2},
     {2, L"从内存中卸载无用的DLL文件", 2},
     {3, L"优化Windows文件系统", 2}},
};

TEST_F(Form1HandlersTest, EachLabelListsItsCategory) {
    form.OnLoad();
    for (int label : {2, 4, 3, 1, 3}) {
        SCOPED_TRACE(label);
        form.OnLabelClick(label);
        EXPECT_EQ(list.items, kCategoryLists[label - 1]);
        EXPECT_EQ(form.ShownCategory(), label);
    }
}

// Ctrl+Tab and Ctrl+Shift+Tab walk the labels in their order and wrap.
TEST_F(Form1HandlersTest, SwitchingWalksTheCategoriesAndWrapsBothWays) {
    form.OnLoad();
    const std::pair<int, int> steps[]{{1, 2}, {1, 3}, {1, 4}, {1, 1}, {-1, 4}, {-1, 3}, {1, 4}};
    for (const auto& [step, shown] : steps) {
        SCOPED_TRACE(shown);
        list.selected = 0;
        form.OnSwitchCategory(step);
        EXPECT_EQ(form.ShownCategory(), shown);
        EXPECT_EQ(list.items, kCategoryLists[shown - 1]);
        EXPECT_FALSE(list.selected) << "a switch is a click: no selection";
    }
}

TEST_F(Form1HandlersTest, ClickingTheSameLabelAgainRebuildsTheList) {
    form.OnLabelClick(3);
    list.selected = 2;
    const int before = list.rebuilds;
    form.OnLabelClick(3);
    EXPECT_EQ(list.rebuilds, before + 1);
    EXPECT_EQ(list.items.size(), 5u);
    EXPECT_FALSE(list.selected);
}

TEST_F(Form1HandlersTest, OkRunsTheSelectedTaskAndKeepsTheSelection) {
    form.OnLoad();
    list.selected = 2;  // 禁用注册表编辑器
    form.OnOkClick();
    form.OnOkClick();
    EXPECT_EQ(registry.Value(RegistryRoot::CurrentUser,
                             L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
                             L"DisableRegistryTools"),
              DwordValue(1));
    EXPECT_EQ(list.selected, 2u);
    EXPECT_EQ(list.items.size(), 4u);
}

TEST_F(Form1HandlersTest, OkWithoutSelectionDoesNothing) {
    form.OnLoad();
    form.OnOkClick();
    EXPECT_TRUE(ui.log.empty());
    EXPECT_EQ(registry.KeyCount(), 0u);
}

TEST_F(Form1HandlersTest, ClicksArrivingWhileATaskRunsDoNothing) {
    form.OnLoad();
    form.OnLabelClick(3);
    list.selected = 2;  // 隐藏桌面所有图标, which asks first
    ui.messageBoxAnswers = {kAnswerYes};
    int clicksWhileAsking = 0;
    ui.whileDialogShows = [&] {
        if (++clicksWhileAsking > 1) return;
        form.OnOkClick();  // a quick double-click's second click
        form.OnLabelClick(1);
        form.OnSwitchCategory(1);
        form.OnExitClick();
    };
    form.OnOkClick();
    EXPECT_EQ(clicksWhileAsking, 1) << "exactly one question";
    EXPECT_EQ(ui.log.size(), 1u);
    EXPECT_FALSE(ui.mainWindowClosed);
    EXPECT_EQ(list.items.size(), 5u) << "the list was not refilled under the question";
    EXPECT_EQ(form.ShownCategory(), 3);
    EXPECT_EQ(list.selected, 2u);
    EXPECT_EQ(registry.requests.size(), 3u) << "one key opened, one value set, one close";
    // Once the task is over, clicks work again.
    ui.whileDialogShows = nullptr;
    form.OnLabelClick(1);
    EXPECT_EQ(list.items.size(), 4u);
}

TEST_F(Form1HandlersTest, ExitClosesTheMainWindowWithoutAsking) {
    form.OnLoad();
    form.OnExitClick();
    EXPECT_TRUE(ui.mainWindowClosed);
    EXPECT_EQ(ui.log, (std::vector<UiEvent>{{L"CloseMainWindow", L"", L"", L"", -1}}));
}

}  // namespace
}  // namespace torvane
