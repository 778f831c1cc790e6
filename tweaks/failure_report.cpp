#include "tweaks/failure_report.h"

#include "tweaks/user_messages.h"

namespace torvane {
namespace {

constexpr const wchar_t* kRunAsAdministrator = L"请以管理员身份运行本程序后重试。";
constexpr const wchar_t* kPolicyForAdministrators =
    L"这是只有管理员才能修改的策略项。若用其他账户“以管理员身份运行”，"
    L"修改的将是那个账户的设置，而不是你的。";
constexpr const wchar_t* kMoveTheProgram = L"请把本程序放到你能写入的文件夹（例如“下载”）后重试。";
constexpr const wchar_t* kRestartQuestion =
    L"是否以管理员身份重新启动本程序？重新启动后请再次执行此任务。";
constexpr const wchar_t* kCannotRestart = L"无法以管理员身份重新启动本程序：";

}  // namespace

std::wstring AccessAdvice(ElevationState state, RefusedTarget target) {
    switch (state) {
        case ElevationState::Elevated:
            return L"";  // nothing more to be had: the system's reason says it all
        case ElevationState::UnelevatedAdministrator:
            // The restart that follows is the advice for the batch file.
            return target == RefusedTarget::ProgramFolder ? L"" : kRunAsAdministrator;
        case ElevationState::StandardUser:
            break;
    }
    switch (target) {
        case RefusedTarget::PolicyKey:
            return kPolicyForAdministrators;
        case RefusedTarget::MachineKey:
            return kRunAsAdministrator;
        case RefusedTarget::ProgramFolder:
            // A backup made by an administrator's account would export that
            // account's settings, not this user's.
            return kMoveTheProgram;
        case RefusedTarget::UserKey:
            break;
    }
    return L"";
}

void ReportFailure(TweakContext& context, const std::wstring& message, ErrorCode error,
                   RefusedTarget target) {
    if (error != kErrorAccessDenied) {  // not a matter of rights: no advice, no offer
        context.dialogs.ShowMessageBox(message, kButtonsOkOnly, messages::kErrorTitle);
        return;
    }
    const ElevationState state = context.elevation.State();
    std::wstring shown = message;
    if (const std::wstring advice = AccessAdvice(state, target); !advice.empty())
        shown += messages::kLineBreak + advice;
    if (state != ElevationState::UnelevatedAdministrator) {
        context.dialogs.ShowMessageBox(shown, kButtonsOkOnly, messages::kErrorTitle);
        return;
    }
    const int answer = context.dialogs.ShowMessageBox(
        shown + messages::kLineBreak + kRestartQuestion, kButtonsYesNo, messages::kErrorTitle);
    if (answer != kAnswerYes) return;
    const ErrorCode restarted = context.elevation.RestartElevated();
    if (restarted == kSuccess) {
        context.shell.CloseMainWindow();
    } else if (restarted != kErrorCancelled) {
        context.dialogs.ShowMessageBox(kCannotRestart + context.shell.ErrorText(restarted),
                                       kButtonsOkOnly, messages::kErrorTitle);
    }
}

}  // namespace torvane
