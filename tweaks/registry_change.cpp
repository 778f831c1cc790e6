#include "tweaks/registry_change.h"

#include "tweaks/failure_report.h"
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
    ReportFailure(context, RegistryFailureMessage(location, error, context.shell.ErrorText(error)),
                  error);
}

}  // namespace

std::wstring RegistryFailureMessage(const RegistryLocation& location, ErrorCode error,
                                    const std::wstring& systemText) {
    std::wstring message = L"修改注册表失败：" + RootName(location.root) + L"\\" + location.path;
    message += messages::kLineBreak + systemText;
    if (error == kErrorAccessDenied) {
        message += messages::kLineBreak;
        message += L"请以管理员身份运行本程序后重试。";
    }
    return message;
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
