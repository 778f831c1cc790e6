#include "tweaks/registry_change.h"

#include <string_view>
#include <vector>

#include "tweaks/original_values.h"
#include "tweaks/user_messages.h"

namespace torvane {
namespace {

ErrorCode Apply(RegistryKey& key, const ValueChange& change) {
    switch (change.action) {
        case ValueChange::Action::SetDword:
            return key.SetDword(change.name, change.number);
        case ValueChange::Action::SetString:
            return key.SetString(change.name, change.text);
        case ValueChange::Action::Delete: {
            const ErrorCode error = key.DeleteValue(change.name);
            return error == kErrorFileNotFound ? kSuccess : error;
        }
    }
    return kSuccess;
}

void ReportRegistryFailure(TweakContext& context, const RegistryLocation& location,
                           ErrorCode error) {
    ReportFailure(context, RegistryFailureMessage(location, context.shell.ErrorText(error)), error,
                  TargetOf(location));
}

}  // namespace

std::wstring RegistryFailureMessage(const RegistryLocation& location,
                                    const std::wstring& systemText) {
    return L"修改注册表失败：" + RootName(location.root) + L"\\" + location.path +
           messages::kLineBreak + systemText;
}

RefusedTarget TargetOf(const RegistryLocation& location) {
    if (location.root != RegistryRoot::CurrentUser) return RefusedTarget::MachineKey;
    // Policies are set for a user by an administrator, not by the user.
    constexpr std::wstring_view kPolicies =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\";
    const std::wstring_view path = location.path;
    if (path.size() > kPolicies.size() &&
        SameRegistryName(path.substr(0, kPolicies.size()), kPolicies))
        return RefusedTarget::PolicyKey;
    return RefusedTarget::UserKey;
}

bool ChangeRegistry(TweakContext& context, const RegistryLocation& location,
                    std::initializer_list<ValueChange> changes) {
    std::vector<std::wstring> names;
    for (const ValueChange& change : changes) names.push_back(change.name);
    // The originals are safe on disk before anything changes.
    KeptOriginals kept = KeepOriginals(context, location, names);
    if (!kept.problem.empty()) {
        const std::wstring question = L"无法保存原值：" + kept.problem + messages::kLineBreak +
                                      L"仍然修改吗？修改后无法用本程序恢复原值。";
        if (context.dialogs.ShowMessageBox(question, kButtonsYesNo, messages::kErrorTitle) !=
            kAnswerYes) {
            return false;
        }
    }
    ErrorCode error = kSuccess;
    {
        OpenedKey opened = context.registry.CreateKey(location.root, location.path);
        error = opened.error;
        for (auto change = changes.begin();
             opened.key && error == kSuccess && change != changes.end(); ++change) {
            error = Apply(*opened.key, *change);
        }
    }                   // the key is closed before the user reads about a failure
    kept.lock.reset();  // and the record is let go before any dialog
    if (error == kSuccess) return true;
    ReportRegistryFailure(context, location, error);
    return false;
}

}  // namespace torvane
