#include "app/task_dispatch.h"

#include "app/task_catalogue.h"

namespace torvane {
namespace {

constexpr const wchar_t* kUnexpectedFailure = L"执行任务时发生意外错误，任务已中止。";
constexpr const wchar_t* kErrorTitle = L"错误";

TaskOperation FindOperation(const std::wstring& taskText) {
    for (const TaskCategory& category : TaskCatalogue()) {
        for (const TaskEntry& task : category.tasks) {
            if (taskText == task.text) return task.operation;
        }
    }
    return nullptr;
}

}  // namespace

bool DispatchTask(const std::wstring& taskText, TweakContext& context) {
    const TaskOperation operation = FindOperation(taskText);
    if (!operation) return false;
    try {
        operation(context);
    } catch (...) {
        // The window must survive whatever one task runs into.
        context.dialogs.ShowMessageBox(kUnexpectedFailure, kButtonsOkOnly, kErrorTitle);
    }
    return true;
}

}  // namespace torvane
