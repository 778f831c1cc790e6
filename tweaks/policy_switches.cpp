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

constexpr WrittenValue kDisableEditorWrites[]{
    {Branch::Always, value_names::kDisableRegistryTools, kRegDword, L"1", nullptr}};
constexpr WrittenValue kEnableEditorWrites[]{
    {Branch::Always, value_names::kDisableRegistryTools, kDeleted, nullptr, nullptr}};
constexpr WrittenValue kNoDesktopWrites[]{
    {Branch::Yes, value_names::kNoDesktop, kRegDword, L"1", nullptr},
    {Branch::No, value_names::kNoDesktop, kDeleted, nullptr, nullptr}};
constexpr WrittenValue kUnloadDllWrites[]{
    {Branch::Yes, value_names::kDefaultValue, kRegSz, L"1", nullptr},
    {Branch::No, value_names::kDefaultValue, kRegSz, L"0", nullptr}};
constexpr WrittenValue kFileAllocationWrites[]{
    {Branch::Always, value_names::kConfigFileAllocsize, kRegDword, L"500", nullptr}};

constexpr ShownValue kNoDesktopValue[]{{L"当前值", kExplorerPolicies, value_names::kNoDesktop}};
constexpr ShownValue kUnloadDllValue[]{{L"当前值", kAlwaysUnloadDll, value_names::kDefaultValue}};
constexpr ShownValue kFileAllocationValue[]{
    {L"当前值", kFileSystem, value_names::kConfigFileAllocsize}};
constexpr const wchar_t* kEditorEffect = L"一般在下次启动 regedit 或 reg.exe 时。";

}  // namespace

const TaskDescription kDisableRegistryEditorTip{
    &kSystemPolicies,
    nullptr,
    kDisableEditorWrites,
    kEditorPolicyValues,
    nullptr,
    L"使用：策略“阻止访问注册表编辑工具”。禁止当前用户运行 regedit 和 reg.exe，"
    L"但不阻止 PowerShell 和直接调用注册表 API 的程序（包括本程序）；本机策略一般优先。\r\n"
    L"此值存在时，Windows 设置中可能显示“某些设置由你的组织管理”。\r\n"
    L"删除此值（运行“允许使用注册表编辑器”或恢复原值）后，这条提示一般随之消失。\r\n"
    L"加入域的电脑上，组织的组策略可能改写或删除此值。",
    kEditorEffect,
    kUserPolicyAdmin};

const TaskDescription kEnableRegistryEditorTip{
    &kSystemPolicies,
    nullptr,
    kEnableEditorWrites,
    kEditorPolicyValues,
    nullptr,
    L"使用；HKEY_LOCAL_MACHINE 中的本机策略一般仍然有效。\r\n"
    L"此值存在时，Windows 设置中可能显示“某些设置由你的组织管理”。\r\n"
    L"本任务删除此值后，这条提示一般随之消失。\r\n"
    L"加入域的电脑上，组织的组策略可能重新写入此值。",
    kEditorEffect,
    kUserPolicyAdmin};

const TaskDescription kToggleDesktopIconsTip{
    &kExplorerPolicies,
    nullptr,
    kNoDesktopWrites,
    kNoDesktopValue,
    nullptr,
    L"使用：策略“隐藏和禁用桌面上的所有项目”。文件一般仍留在磁盘上。\r\n"
    L"此值存在时，Windows 设置中可能显示“某些设置由你的组织管理”。\r\n"
    L"删除此值（选“否”或恢复原值）后，这条提示一般随之消失。\r\n"
    L"加入域的电脑上，组织的组策略可能改写或删除此值。",
    L"一般在资源管理器重新启动或下次登录后。",
    kUserPolicyAdmin};

const TaskDescription kSetAlwaysUnloadDllTip{
    &kAlwaysUnloadDll,
    nullptr,
    kUnloadDllWrites,
    kUnloadDllValue,
    nullptr,
    L"一般不用：据转引的微软文档，自 Windows 2000 起已不支持此值；"
    L"COM 会按自己的安排卸载不用的 DLL。",
    L"一般不会生效。",
    kMachineKeyAdmin};

const TaskDescription kOptimizeFileSystemTip{
    &kFileSystem,
    nullptr,
    kFileAllocationWrites,
    kFileAllocationValue,
    nullptr,
    L"一般不用：这是 Windows 9x 的文件系统设置，在那里的名字是 ContigFileAllocSize；"
    L"Windows NT 系列（包括 Windows 10/11）的文档一般没有提到它，系统一般也不读取它。",
    L"一般不会生效。",
    kMachineKeyAdmin};

}  // namespace torvane::mod_regSetting
