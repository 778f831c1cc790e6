#include "app/task_menu.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "app/win32_list_view.h"

namespace torvane {
namespace {

struct MenuDestroyer {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

void AddItem(HMENU menu, MenuCommand command, const wchar_t* text, bool enabled) {
    AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED),
                static_cast<UINT_PTR>(command), text);
}

}  // namespace

MenuCommand Win32TaskMenu::Show(const TaskMenuItems& items) {
    UniqueMenu menu(CreatePopupMenu());
    if (!menu) return MenuCommand::None;
    if (items.onTask) {
        AddItem(menu.get(), MenuCommand::Run, L"执行(&E)", true);
        SetMenuDefaultItem(menu.get(), static_cast<UINT>(MenuCommand::Run), FALSE);
        AddItem(menu.get(), MenuCommand::Restore, L"恢复原值(&R)", items.restore);
    }
    AddItem(menu.get(), MenuCommand::RestoreAll, L"全部恢复原值(&A)", items.restoreAll);
    if (items.onTask) {
        AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        AddItem(menu.get(), MenuCommand::Export, L"导出为 .reg 文件(&X)…", items.exportFile);
    }
    // The choice comes back here rather than as WM_COMMAND, where a menu's
    // code 0 would read as a button's click.
    const auto chosen = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                       at_.x, at_.y, 0, owner_, nullptr);
    return static_cast<MenuCommand>(chosen);
}

void OpenTaskMenu(HWND owner, HWND list, LPARAM screenPoint, Form1Handlers& handlers) {
    POINT at{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    int item = -1;
    // From the keyboard x and y are both -1; only the low 32 bits carry them,
    // with or without sign extension above.
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: the selected task, the menu at its place.
        item = ListView_GetNextItem(list, -1, LVNI_SELECTED);
        RECT bounds{};
        if (item >= 0 && ListView_GetItemRect(list, item, &bounds, LVIR_ICON)) {
            at = {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2};
        } else {
            at = {0, 0};
        }
        // A task scrolled out of view gets its menu at the nearest point of
        // the list that shows.
        RECT shown{};
        GetClientRect(list, &shown);
        at.x = std::max(shown.left, std::min(at.x, shown.right - 1));
        at.y = std::max(shown.top, std::min(at.y, shown.bottom - 1));
        ClientToScreen(list, &at);
    } else {
        // From the mouse: the task under the pointer, whatever is selected.
        LVHITTESTINFO hit{};
        hit.pt = at;
        ScreenToClient(list, &hit.pt);
        item = ListView_HitTest(list, &hit);
        if (!(hit.flags & LVHT_ONITEM)) item = -1;
    }
    std::optional<std::wstring> task;
    if (item >= 0) task = ListItemText(list, item);
    Win32TaskMenu menu(owner, at);
    handlers.OnContextMenu(task, menu);
}

}  // namespace torvane
