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

}  // namespace torvane::mod_regSetting
