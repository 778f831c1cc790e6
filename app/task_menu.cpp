#include "app/task_menu.h"

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
        AddItem(menu.get(), MenuCommand::Run, L"执行", true);
        SetMenuDefaultItem(menu.get(), static_cast<UINT>(MenuCommand::Run), FALSE);
        AddItem(menu.get(), MenuCommand::Restore, L"恢复原值", items.restore);
    }
    AddItem(menu.get(), MenuCommand::RestoreAll, L"全部恢复原值", items.restoreAll);
    if (items.onTask) {
        AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        AddItem(menu.get(), MenuCommand::Export, L"导出为 .reg 文件…", items.exportFile);
    }
    // The choice comes back here rather than as WM_COMMAND, where a menu's
    // code 0 would read as a button's click.
    const auto chosen = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                       at_.x, at_.y, 0, owner_, nullptr);
    return static_cast<MenuCommand>(chosen);
}

}  // namespace torvane
