#include "app/form1_handlers.h"

#include "app/task_catalogue.h"
#include "app/task_dispatch.h"

namespace torvane {

void Form1Handlers::OnLoad() {
    context_.commonDialog1.SetFilter(kRegistryFileFilter);
    OnLabelClick(1);
}

void Form1Handlers::OnLabelClick(int labelNumber) {
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
    // With nothing selected there is no task to run, and nothing to say.
    if (const auto text = list_.SelectedItemText()) DispatchTask(*text, context_);
}

void Form1Handlers::OnExitClick() {
    context_.shell.CloseMainWindow();
}

}  // namespace torvane
