#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

#include "app/task_catalogue.h"
#include "app/task_dispatch.h"
#include "tests/native/test_support.h"
#include "tweaks/mod_regSetting.h"

namespace torvane {
namespace {

using namespace mod_regSetting;

struct CatalogueRow {
    int labelNumber;
    std::wstring caption;
    std::int16_t picture;
    std::wstring text;
    TaskOperation operation;
    const TaskDescription* description;
};

// The whole catalogue, in dispatch order.
const std::vector<CatalogueRow>& ExpectedRows() {
    static const std::vector<CatalogueRow> rows{
        {1, L"注册表管理", 3, L"备份注册表", BackupRegistry, &kBackupRegistryTip},
        {1, L"注册表管理", 3, L"还原注册表", RestoreRegistry, &kRestoreRegistryTip},
        {1, L"注册表管理", 3, L"禁用注册表编辑器", DisableRegistryEditor,
         &kDisableRegistryEditorTip},
        {1, L"注册表管理", 3, L"允许使用注册表编辑器", EnableRegistryEditor,
         &kEnableRegistryEditorTip},
        {2, L"磁盘与文件管理", 1, L"设置磁盘空间不够的警戒值", SetDiskSpaceThreshold,
         &kSetDiskSpaceThresholdTip},
        {3, L"桌面管理", 4, L"设置登录时的桌面背景", SetLogonWallpaper, &kSetLogonWallpaperTip},
        {3, L"桌面管理", 4, L"设置桌面图标大小", SetDesktopIconSize, &kSetDesktopIconSizeTip},
        {3, L"桌面管理", 4, L"隐藏桌面所有图标", ToggleDesktopIcons, &kToggleDesktopIconsTip},
        {3, L"桌面管理", 4, L"在任务栏时间后面加入字符", SetClockText, &kSetClockTextTip},
        {3, L"桌面管理", 4, L"设置主题桌面", SetThemeDesktop, &kSetThemeDesktopTip},
        {4, L"系统优化", 2, L"缩短\u201C无响应程序\u201D等待时间", SetHungAppTimeout,
         &kSetHungAppTimeoutTip},
        {4, L"系统优化", 2, L"从内存中卸载无用的DLL文件", SetAlwaysUnloadDll,
         &kSetAlwaysUnloadDllTip},
        {4, L"系统优化", 2, L"优化Windows文件系统", OptimizeFileSystem, &kOptimizeFileSystemTip},
    };
    return rows;
}

TEST(TaskCatalogue, MatchesTheTableRowByRow) {
    std::vector<CatalogueRow> actual;
    for (const TaskCategory& category : TaskCatalogue()) {
        for (const TaskEntry& task : category.tasks) {
            actual.push_back({category.labelNumber, category.caption, category.picture, task.text,
                              task.operation, task.description});
        }
    }
    const auto& expected = ExpectedRows();
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(testing::Utf8(expected[i].text));
        EXPECT_EQ(actual[i].labelNumber, expected[i].labelNumber);
        EXPECT_EQ(actual[i].caption, expected[i].caption);
        EXPECT_EQ(actual[i].picture, expected[i].picture);
        EXPECT_EQ(actual[i].text, expected[i].text);
        EXPECT_EQ(actual[i].operation, expected[i].operation);
        EXPECT_EQ(actual[i].description, expected[i].description);
    }
}

TEST(TaskCatalogue, FourCategoriesOfFourOneFiveAndThreeTasks) {
    std::vector<size_t> sizes;
    for (const TaskCategory& category : TaskCatalogue()) sizes.push_back(category.tasks.size());
    EXPECT_EQ(sizes, (std::vector<size_t>{4, 1, 5, 3}));
}

TEST(TaskCatalogue, TextsAndOperationsAreUnique) {
    std::set<std::wstring> texts;
    std::set<TaskOperation> operations;
    size_t tasks = 0;
    for (const TaskCategory& category : TaskCatalogue()) {
        for (const TaskEntry& task : category.tasks) {
            texts.insert(task.text);
            operations.insert(task.operation);
            ++tasks;
        }
    }
    EXPECT_EQ(tasks, 13u);
    EXPECT_EQ(texts.size(), tasks);
    EXPECT_EQ(operations.size(), tasks);
}

// Each text reaches its own operation: the first dialog it shows (or, for the
// three that ask nothing, the value it writes) identifies it.
class DispatchTest : public testing::TaskTest {};

TEST_F(DispatchTest, EveryTextRunsItsOwnTask) {
    struct Expectation {
        std::wstring text;
        UiEvent firstEvent;
    };
    const std::vector<Expectation> asking{
        {L"备份注册表", {L"ShowSave", L"CommonDialog1", L"", L"", -1}},
        {L"还原注册表", {L"ShowOpen", L"CommonDialog1", L"", L"", -1}},
        {L"设置磁盘空间不够的警戒值", InputBoxEvent(L"输入数字", L"按百分比输入", L"8")},
        {L"设置登录时的桌面背景",
         {L"ShowOpen", L"CommonDialog2", L"背景图片(*.bmp)|*.bmp", L"", -1}},
        {L"设置桌面图标大小", InputBoxEvent(L"输入数字", L"按百分比输入", L"32")},
        {L"隐藏桌面所有图标",
         MessageBoxEvent(L"是否隐藏桌面所有图标？是：隐藏、否：恢复隐藏", 4, L"确认")},
        {L"在任务栏时间后面加入字符", InputBoxEvent(L"输入字符", L"在上午显示的字符")},
        {L"设置主题桌面",
         MessageBoxEvent(
             L"是否将桌面设置成\u201CCorvanta公司的网页？\u201D\r\n是：设置；否：取消当前设置网页",
             4, L"提示")},
        {L"缩短\u201C无响应程序\u201D等待时间", InputBoxEvent(L"输入数字", L"输入秒数", L"20")},
        {L"从内存中卸载无用的DLL文件",
         MessageBoxEvent(L"是否自动卸载？是：自动、否：取消自动卸载", 4, L"提示")},
    };
    for (const auto& [text, firstEvent] : asking) {
        SCOPED_TRACE(testing::Utf8(text));
        ui.log.clear();
        // Nothing scripted: the task stops at its first dialog, which the
        // dispatch reports as an unexpected failure.
        EXPECT_TRUE(DispatchTask(text, context));
        ASSERT_FALSE(ui.log.empty());
        EXPECT_EQ(ui.log.front(), firstEvent);
    }
    EXPECT_EQ(registry.ValueCount(), 0u);

    ui.log.clear();
    EXPECT_TRUE(DispatchTask(L"禁用注册表编辑器", context));
    EXPECT_EQ(registry.Value(RegistryRoot::CurrentUser,
                             L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
                             L"DisableRegistryTools"),
              DwordValue(1));
    EXPECT_TRUE(DispatchTask(L"允许使用注册表编辑器", context));
    EXPECT_EQ(registry.ValueCount(), 0u);
    EXPECT_TRUE(DispatchTask(L"优化Windows文件系统", context));
    EXPECT_EQ(
        registry.Value(RegistryRoot::LocalMachine,
                       L"SYSTEM\\CurrentControlSet\\Control\\FileSystem", L"ConfigFileAllocsize"),
        DwordValue(500));
    EXPECT_TRUE(ui.log.empty());
}

TEST_F(DispatchTest, NearMissesRunNothing) {
    for (const std::wstring text :
         {L"", L"备份注册表 ", L" 备份注册表", L"缩短\"无响应程序\"等待时间",
          L"优化windows文件系统", L"从内存中卸载无用的dll文件", L"注册表管理"}) {
        SCOPED_TRACE(testing::Utf8(text));
        EXPECT_FALSE(DispatchTask(text, context));
    }
    EXPECT_TRUE(ui.log.empty());
    EXPECT_EQ(registry.KeyCount(), 0u);
}

TEST_F(DispatchTest, AnExceptionInATaskIsReportedOnce) {
    // The input box has no scripted answer, so the fake throws inside the task.
    EXPECT_TRUE(DispatchTask(L"设置桌面图标大小", context));
    ASSERT_EQ(ui.log.size(), 2u);
    EXPECT_EQ(ui.log[1], MessageBoxEvent(L"执行任务时发生意外错误，任务已中止。", 0, L"错误"));
}

}  // namespace
}  // namespace torvane
