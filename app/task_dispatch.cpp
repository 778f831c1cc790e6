#include "app/task_dispatch.h"

#include "app/task_catalogue.h"
#include "tweaks/user_messages.h"

namespace torvane {
namespace {

constexpr const wchar_t* kUnexpectedFailure = L"执行任务时发生意外错误，任务已中止。";

}  // namespace

bool DispatchTask(const std::wstring& taskText, TweakContext& context) {
    const TaskEntry* task = FindTask(taskText);
    if (!task) return false;
    RunGuarded(context, [&] { task->operation(context); });
    return true;
}

void RunGuarded(TweakContext& context, const std::function<void()>& action) {
    try {
        action();
    } catch (...) {
        // The window must survive whatever one task runs into.
        context.dialogs.ShowMessageBox(kUnexpectedFailure, kButtonsOkOnly, messages::kErrorTitle);
    }
}

}  // namespace torvane
