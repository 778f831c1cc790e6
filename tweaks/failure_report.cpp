#include "tweaks/failure_report.h"

#include "tweaks/user_messages.h"

namespace torvane {
namespace {

constexpr const wchar_t* kRestartQuestion =
    L"是否以管理员身份重新启动本程序？重新启动后请再次执行此任务。";
constexpr const wchar_t* kCannotRestart = L"无法以管理员身份重新启动本程序：";

}  // namespace

void ReportFailure(TweakContext& context, const std::wstring& message, ErrorCode error) {
    const bool offerElevation =
        error == kErrorAccessDenied &&
        context.elevation.State() == ElevationState::UnelevatedAdministrator;
    if (!offerElevation) {
        context.dialogs.ShowMessageBox(message, kButtonsOkOnly, messages::kErrorTitle);
        return;
    }
    const int answer = context.dialogs.ShowMessageBox(
        message + messages::kLineBreak + kRestartQuestion, kButtonsYesNo, messages::kErrorTitle);
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
