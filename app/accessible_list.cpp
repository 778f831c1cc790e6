#include "app/accessible_list.h"

#include <commctrl.h>

#include "app/task_catalogue.h"
#include "app/win32_list_view.h"

namespace torvane {

const wchar_t* TaskListAccessibility::Text(AccessibleText which, HWND list, LONG child) {
    if (which == AccessibleText::Name && child == CHILDID_SELF) {
        for (const TaskCategory& category : TaskCatalogue()) {
            if (category.labelNumber == handlers_.ShownCategory()) return category.caption;
        }
    }
    // Answered without asking the system's object about the child first:
    // under Wine that object knows no children. Child ids count the items
    // from 1; any other is the system object's to refuse.
    if (which == AccessibleText::Description && child >= 1 &&
        child <= ListView_GetItemCount(list)) {
        tip_ = TaskTip(ListItemText(list, child - 1), context_);
        if (!tip_.empty()) return tip_.c_str();
    }
    return nullptr;
}

}  // namespace torvane
