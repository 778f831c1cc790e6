// Policy switches: each writes or deletes one fixed value. Switching a policy
// off removes its value rather than writing 0, as Group Policy itself does.
#include "tweaks/mod_regSetting.h"
#include "tweaks/registry_change.h"

namespace torvane::mod_regSetting {
namespace {

constexpr const wchar_t* kDesktopIconsQuestion = L"是否隐藏桌面所有图标？是：隐藏、否：恢复隐藏";
constexpr const wchar_t* kDesktopIconsTitle = L"确认";
constexpr const wchar_t* kUnloadDllQuestion = L"是否自动卸载？是：自动、否：取消自动卸载";
constexpr const wchar_t* kUnloadDllTitle = L"提示";
constexpr std::uint32_t kFileAllocationSize = 500;

bool AskYesNo(TweakContext& context, const wchar_t* question, const wchar_t* title) {
    return context.dialogs.ShowMessageBox(question, kButtonsYesNo, title) == kAnswerYes;
}

}  // namespace

void DisableRegistryEditor(TweakContext& context) {
    ChangeRegistry(context, kSystemPolicies,
                   {ValueChange::Dword(value_names::kDisableRegistryTools, 1)});
}

void EnableRegistryEditor(TweakContext& context) {
    ChangeRegistry(context, kSystemPolicies,
                   {ValueChange::Delete(value_names::kDisableRegistryTools)});
}

void ToggleDesktopIcons(TweakContext& context) {
    if (AskYesNo(context, kDesktopIconsQuestion, kDesktopIconsTitle)) {
        ChangeRegistry(context, kExplorerPolicies,
                       {ValueChange::Dword(value_names::kNoDesktop, 1)});
    } else {
        ChangeRegistry(context, kExplorerPolicies, {ValueChange::Delete(value_names::kNoDesktop)});
    }
}

void SetAlwaysUnloadDll(TweakContext& context) {
    const bool unload = AskYesNo(context, kUnloadDllQuestion, kUnloadDllTitle);
    ChangeRegistry(context, kAlwaysUnloadDll,
                   {ValueChange::String(value_names::kDefaultValue, unload ? L"1" : L"0")});
}

void OptimizeFileSystem(TweakContext& context) {
    ChangeRegistry(context, kFileSystem,
                   {ValueChange::Dword(value_names::kConfigFileAllocsize, kFileAllocationSize)});
}

namespace {

constexpr ShownValue kNoDesktopValue[]{{L"当前值", kExplorerPolicies, value_names::kNoDesktop}};
constexpr ShownValue kUnloadDllValue[]{{L"当前值", kAlwaysUnloadDll, value_names::kDefaultValue}};
constexpr ShownValue kFileAllocationValue[]{
    {L"当前值", kFileSystem, value_names::kConfigFileAllocsize}};
constexpr const wchar_t* kEditorEffect = L"一般在下次启动 regedit 或 reg.exe 时。";
constexpr const wchar_t* kUserPolicyAdmin = L"一般不需要。";
constexpr const wchar_t* kMachineAdmin = L"一般需要。";

}  // namespace

const TaskDescription kDisableRegistryEditorTip{
    &kSystemPolicies,
    L"写入：DisableRegistryTools = 1（REG_DWORD）",
    kEditorPolicyValues,
    nullptr,
    L"使用：策略“阻止访问注册表编辑工具”。禁止当前用户运行 regedit 和 reg.exe，"
    L"但不阻止 PowerShell 和直接调用注册表 API 的程序（包括本程序）；本机策略一般优先。",
    kEditorEffect,
    kUserPolicyAdmin};

const TaskDescription kEnableRegistryEditorTip{
    &kSystemPolicies,
    L"删除：DisableRegistryTools",
    kEditorPolicyValues,
    nullptr,
    L"使用；HKEY_LOCAL_MACHINE 中的本机策略一般仍然有效。",
    kEditorEffect,
    kUserPolicyAdmin};

const TaskDescription kToggleDesktopIconsTip{
    &kExplorerPolicies,
    L"写入：NoDesktop = 1（REG_DWORD）；选“否”时删除 NoDesktop",
    kNoDesktopValue,
    nullptr,
    L"使用：策略“隐藏和禁用桌面上的所有项目”。文件一般仍留在磁盘上。",
    L"一般在资源管理器重新启动或下次登录后。",
    kUserPolicyAdmin};

const TaskDescription kSetAlwaysUnloadDllTip{
    &kAlwaysUnloadDll,
    L"写入：（默认） = “1”（选“是”）或“0”（REG_SZ）",
    kUnloadDllValue,
    nullptr,
    L"不用：文档说明自 Windows 2000 起已不支持，Windows 7 及以后的版本都不用此值；"
    L"COM 会按自己的安排卸载不用的 DLL。",
    L"不会生效。",
    kMachineAdmin};

const TaskDescription kOptimizeFileSystemTip{
    &kFileSystem,
    L"写入：ConfigFileAllocsize = 500（REG_DWORD）",
    kFileAllocationValue,
    nullptr,
    L"不用：这是 Windows 9x 的文件系统设置，在那里的名字是 ContigFileAllocSize；"
    L"Windows 7 及以后的版本都不用此值，Windows NT 系列的文档一般也没有提到它。",
    L"不会生效。",
    kMachineAdmin};

}  // namespace torvane::mod_regSetting
