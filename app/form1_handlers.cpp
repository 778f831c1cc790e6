#include "app/form1_handlers.h"

#include "app/task_catalogue.h"
#include "app/task_dispatch.h"

namespace torvane {

void Form1Handlers::OnLoad() {
    context_.commonDialog1.SetFilter(kRegistryFileFilter);
    // A backup saved as "today" must still show up under the *.reg filter.
    context_.commonDialog1.SetDefaultExtension(kRegistryFileExtension);
    OnLabelClick(1);
}

void Form1Handlers::OnLabelClick(int labelNumber) {
    if (taskRunning_) return;
    for (const TaskCategory& category : TaskCatalogue()) {
        if (category.labelNumber != labelNumber) continue;
        list_.RemoveAllItems();
        std::int16_t position = 1;
        for (const TaskEntry& task : category.tasks) {
            list_.AddItem(position++, task.text, category.picture);
        }
    }
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

void Form1Handlers::OnExitClick() {
    if (taskRunning_) return;
    context_.shell.CloseMainWindow();
}

}  // namespace torvane
