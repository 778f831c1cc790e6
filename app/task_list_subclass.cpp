#include "app/task_list_subclass.h"

#include <commctrl.h>

namespace torvane {

void TaskListSubclass::Attach(HWND list) {
    list_ = list;
    SetWindowLongPtrW(list_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
}

LRESULT CALLBACK TaskListSubclass::Proc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TaskListSubclass*>(GetWindowLongPtrW(list, GWLP_USERDATA));
    return self->OnMessage(message, wParam, lParam);
}

// A freshly filled list has no focused item, and the icon view's arrows then
// start from an item the user never saw chosen: under Wine the first Down
// selects the second task. While nothing is selected, the keys that move the
// selection take the first task instead, and End the last.
bool TaskListSubclass::SelectFirstForKey(WPARAM key) {
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
    if (ListView_GetNextItem(list_, -1, LVNI_SELECTED) >= 0) return false;
    const int count = ListView_GetItemCount(list_);
    if (count == 0) return false;
    int item = 0;
    switch (key) {
        case VK_DOWN:
        case VK_UP:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_HOME:
        case VK_SPACE:
            break;
        case VK_END:
            item = count - 1;
            break;
        default:
            return false;
    }
    ListView_SetItemState(list_, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetSelectionMark(list_, item);
    ListView_EnsureVisible(list_, item, FALSE);
    return true;
}

LRESULT TaskListSubclass::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC original = original_;
    LRESULT result = 0;
    if (tips_.OnListMessage(message, wParam, lParam, result)) return result;
    if (OnAccessibilityMessage(list_, accessibility_, message, wParam, lParam, result))
        return result;
    switch (message) {
        case WM_KEYDOWN:
        case WM_CHAR: {
            ++keysInHand_;
            const bool taken = message == WM_KEYDOWN && SelectFirstForKey(wParam);
            result = taken ? 0 : CallWindowProcW(original, list_, message, wParam, lParam);
            --keysInHand_;
            return result;
        }
        case WM_NCDESTROY:
            SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            break;
    }
    return CallWindowProcW(original, list_, message, wParam, lParam);
}

}  // namespace torvane
