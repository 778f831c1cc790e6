#pragma once

#include "tweaks/task_tips.h"
#include "tweaks/tweak_context.h"

// The thirteen tasks, one procedure each, grouped by source file:
// backup_restore.cpp, policy_switches.cpp, prompted_numbers.cpp, clock_text.cpp,
// desktop_wallpaper.cpp. Beside each procedure, in the same file, stands the
// description its tip is built from.
namespace torvane::mod_regSetting {

// "备份注册表", "还原注册表"
void BackupRegistry(TweakContext& context);
void RestoreRegistry(TweakContext& context);
extern const TaskDescription kBackupRegistryTip;
extern const TaskDescription kRestoreRegistryTip;

// "禁用注册表编辑器", "允许使用注册表编辑器", "隐藏桌面所有图标",
// "从内存中卸载无用的DLL文件", "优化Windows文件系统"
void DisableRegistryEditor(TweakContext& context);
void EnableRegistryEditor(TweakContext& context);
void ToggleDesktopIcons(TweakContext& context);
void SetAlwaysUnloadDll(TweakContext& context);
void OptimizeFileSystem(TweakContext& context);
extern const TaskDescription kDisableRegistryEditorTip;
extern const TaskDescription kEnableRegistryEditorTip;
extern const TaskDescription kToggleDesktopIconsTip;
extern const TaskDescription kSetAlwaysUnloadDllTip;
extern const TaskDescription kOptimizeFileSystemTip;

// "设置磁盘空间不够的警戒值", "设置桌面图标大小", "缩短“无响应程序”等待时间"
void SetDiskSpaceThreshold(TweakContext& context);
void SetDesktopIconSize(TweakContext& context);
void SetHungAppTimeout(TweakContext& context);
extern const TaskDescription kSetDiskSpaceThresholdTip;
extern const TaskDescription kSetDesktopIconSizeTip;
extern const TaskDescription kSetHungAppTimeoutTip;

// "在任务栏时间后面加入字符"
void SetClockText(TweakContext& context);
extern const TaskDescription kSetClockTextTip;

// "设置登录时的桌面背景", "设置主题桌面"
void SetLogonWallpaper(TweakContext& context);
void SetThemeDesktop(TweakContext& context);
extern const TaskDescription kSetLogonWallpaperTip;
extern const TaskDescription kSetThemeDesktopTip;

}  // namespace torvane::mod_regSetting
