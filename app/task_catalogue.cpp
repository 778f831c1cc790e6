#include "app/task_catalogue.h"

#include <array>

#include "tweaks/mod_regSetting.h"

namespace torvane {
namespace {

using namespace mod_regSetting;

constexpr std::array<TaskEntry, 4> kRegistryTasks{{
    {L"备份注册表", BackupRegistry, &kBackupRegistryTip},
    {L"还原注册表", RestoreRegistry, &kRestoreRegistryTip},
    {L"禁用注册表编辑器", DisableRegistryEditor, &kDisableRegistryEditorTip},
    {L"允许使用注册表编辑器", EnableRegistryEditor, &kEnableRegistryEditorTip},
}};

constexpr std::array<TaskEntry, 1> kDiskTasks{{
    {L"设置磁盘空间不够的警戒值", SetDiskSpaceThreshold, &kSetDiskSpaceThresholdTip},
}};

constexpr std::array<TaskEntry, 5> kDesktopTasks{{
    {L"设置登录时的桌面背景", SetLogonWallpaper, &kSetLogonWallpaperTip},
    {L"设置桌面图标大小", SetDesktopIconSize, &kSetDesktopIconSizeTip},
    {L"隐藏桌面所有图标", ToggleDesktopIcons, &kToggleDesktopIconsTip},
    {L"在任务栏时间后面加入字符", SetClockText, &kSetClockTextTip},
    {L"设置主题桌面", SetThemeDesktop, &kSetThemeDesktopTip},
}};

constexpr std::array<TaskEntry, 3> kOptimisationTasks{{
    {L"缩短“无响应程序”等待时间", SetHungAppTimeout, &kSetHungAppTimeoutTip},
    {L"从内存中卸载无用的DLL文件", SetAlwaysUnloadDll, &kSetAlwaysUnloadDllTip},
    {L"优化Windows文件系统", OptimizeFileSystem, &kOptimizeFileSystemTip},
}};

constexpr std::array<TaskCategory, 4> kCatalogue{{
    {1, L"注册表管理", 3, kRegistryTasks},
    {2, L"磁盘与文件管理", 1, kDiskTasks},
    {3, L"桌面管理", 4, kDesktopTasks},
    {4, L"系统优化", 2, kOptimisationTasks},
}};

}  // namespace

std::span<const TaskCategory> TaskCatalogue() {
    return kCatalogue;
}

int CategoryBeside(int labelNumber, int step) {
    const int count = static_cast<int>(kCatalogue.size());
    return ((labelNumber - 1 + step) % count + count) % count + 1;
}

const TaskEntry* FindTask(const std::wstring& taskText) {
    for (const TaskCategory& category : kCatalogue) {
        for (const TaskEntry& task : category.tasks) {
            if (taskText == task.text) return &task;
        }
    }
    return nullptr;
}

std::wstring TaskTip(const std::wstring& taskText, TweakContext& context) {
    const TaskEntry* task = FindTask(taskText);
    return task ? DescribeTask(*task->description, context) : L"";
}

}  // namespace torvane
