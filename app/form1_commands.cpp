// What the labels, the category keys, the list's notifications and the
// buttons do in the window: each leads to Form1Handlers.
#include <windows.h>

#include <commctrl.h>

#include "app/control_ids.h"
#include "app/form1.h"
#include "app/task_catalogue.h"
#include "app/task_menu.h"

namespace torvane {

void Form1::ShowCategory(int labelNumber, bool fromKeyboard) {
    if (handlers_.TaskRunning()) return;
    handlers_.OnLabelClick(labelNumber);
    tips_.Forget();  // other tasks now stand where the pointer is
    HWND listView = GetDlgItem(window_, IDC_LISTVIEW1);
    // The list's accessible name is the category shown: a screen reader
    // announces the new one.
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, listView, OBJID_CLIENT, CHILDID_SELF);
    if (!fromKeyboard) return;
    SetFocus(listView);
    SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

bool Form1::HandleCategoryKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || !window_) return false;
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
    if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return false;
    int step = 0;
    if (message.wParam == VK_TAB) step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
    if (message.wParam == VK_NEXT) step = 1;
    if (message.wParam == VK_PRIOR) step = -1;
    if (step == 0) return false;
    ShowCategory(CategoryBeside(handlers_.ShownCategory(), step), true);
    return true;
}

void Form1::OnListNotify(const NMHDR& header) {
    if (header.code != LVN_ITEMCHANGED || !listSubclass_.HandlingKey()) return;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if ((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED))
        tips_.ShowForKeyboard(change.iItem);
}

void Form1::OnCommand(int id, int notification) {
    if (id >= IDC_LABEL1 && id <= IDC_LABEL4) {
        if (notification == STN_CLICKED) ShowCategory(id - IDC_LABEL1 + 1, false);
        return;
    }
    // Escape puts the keyboard's tip away, and closes nothing.
    if (id == IDCANCEL) tips_.HideKeyboardTip();
    // Enter and Escape arrive as IDOK and IDCANCEL, which no control carries:
    // a task runs only from a click on Command1.
    if (notification != BN_CLICKED) return;
    if (id == IDC_COMMAND1) handlers_.OnOkClick();
    if (id == IDC_COMMAND2) handlers_.OnExitClick();
}

void Form1::OnListContextMenu(LPARAM screenPoint) {
    tips_.Forget();
    OpenTaskMenu(window_, GetDlgItem(window_, IDC_LISTVIEW1), screenPoint, handlers_);
}

}  // namespace torvane
