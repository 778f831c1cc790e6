#include "app/form1_handlers.h"

#include <algorithm>

#include "app/task_catalogue.h"
#include "app/task_dispatch.h"
#include "tweaks/captured_changes.h"
#include "tweaks/original_values.h"
#include "tweaks/user_messages.h"

namespace torvane {

void Form1Handlers::OnLoad() {
    context_.commonDialog1.SetFilter(kRegistryFileFilter);
    // A backup saved as "today" must still show up under the *.reg filter.
    context_.commonDialog1.SetDefaultExtension(kRegistryFileExtension);
    exportDialog_.SetFilter(kRegistryFileFilter);
    exportDialog_.SetDefaultExtension(kRegistryFileExtension);
    OnLabelClick(1);
}

void Form1Handlers::OnLabelClick(int labelNumber) {
    if (taskRunning_) return;
    for (const TaskCategory& category : TaskCatalogue()) {
        if (category.labelNumber != labelNumber) continue;
        shownCategory_ = labelNumber;
        list_.RemoveAllItems();
        std::int16_t position = 1;
        for (const TaskEntry& task : category.tasks) {
            list_.AddItem(position++, task.text, category.picture);
        }
    }
}

void Form1Handlers::OnSwitchCategory(int step) {
    if (taskRunning_) return;
    OnLabelClick(CategoryBeside(shownCategory_, step));
}

void Form1Handlers::OnOkClick() {
    if (taskRunning_) return;
    // With nothing selected there is no task to run, and nothing to say.
    const auto text = list_.SelectedItemText();
    if (!text) return;
    taskRunning_ = true;
    DispatchTask(*text, context_);
    taskRunning_ = false;
}

void Form1Handlers::OnContextMenu(const std::optional<std::wstring>& taskText, TaskMenu& menu) {
    if (taskRunning_) return;
    taskRunning_ = true;  // the menu and what it runs, as a task
    const TaskEntry* task = taskText ? FindTask(*taskText) : nullptr;
    TaskMenuItems items;
    items.onTask = task != nullptr;
    const OriginalsReading reading = ReadOriginals(context_);
    // A record that cannot be read leaves its items enabled: choosing one
    // tells the user which file and line, and what to do.
    const bool unreadable = !reading.problem.empty();
    items.restoreAll = unreadable || !reading.originals.empty();
    if (task && task->description->key) {
        items.exportFile = true;
        items.restore =
            unreadable || std::any_of(reading.originals.begin(), reading.originals.end(),
                                      [&](const Original& original) {
                                          return BelongsTo(original, *task->description);
                                      });
    }
    const MenuCommand command = menu.Show(items);
    RunGuarded(context_, [&] {
        if (command == MenuCommand::Run && task) DispatchTask(task->text, context_);
        if (command == MenuCommand::Restore && items.restore)
            RestoreOriginals(context_, task->description);
        if (command == MenuCommand::RestoreAll && items.restoreAll)
            RestoreOriginals(context_, nullptr);
        if (command == MenuCommand::Export && items.exportFile) ExportTask(task->text);
    });
    taskRunning_ = false;
}

void Form1Handlers::ExportTask(const std::wstring& taskText) {
    CapturingRegistry capture(context_.registry);
    // No record of originals and no notice to other programs: nothing here
    // changes the registry.
    TweakContext exportContext{capture,
                               context_.dialogs,
                               context_.commonDialog1,
                               context_.commonDialog2,
                               context_.shell,
                               context_.elevation,
                               nullptr,
                               nullptr};
    DispatchTask(taskText, exportContext);
    if (capture.Changes().empty()) return;  // refused, or cancelled
    exportDialog_.SetInitialName(taskText);
    exportDialog_.ShowSave();
    const std::wstring path = exportDialog_.FileName();
    if (path.empty()) return;
    const ErrorCode error =
        context_.shell.SaveFile(path, EncodeRegFile(FormatRegFile(capture.Changes())));
    if (error == kSuccess) return;
    context_.dialogs.ShowMessageBox(
        L"无法保存文件：" + path + messages::kLineBreak + context_.shell.ErrorText(error),
        kButtonsOkOnly, messages::kErrorTitle);
}

void Form1Handlers::OnExitClick() {
    if (taskRunning_) return;
    context_.shell.CloseMainWindow();
}

}  // namespace torvane
