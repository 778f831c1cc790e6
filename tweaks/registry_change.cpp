#include "tweaks/registry_change.h"

#include <string_view>

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
    OpenedKey opened = context.registry.CreateKey(location.root, location.path);
    if (!opened.key) {
        ReportRegistryFailure(context, location, opened.error);
        return false;
    }
    for (const ValueChange& change : changes) {
        const ErrorCode error = Apply(*opened.key, change);
        if (error != kSuccess) {
            opened.key.reset();  // closed before the user reads about it
            ReportRegistryFailure(context, location, error);
            return false;
        }
    }
    return true;
}

}  // namespace torvane
