#pragma once

#include <windows.h>

#include "app/form1_handlers.h"

namespace torvane {

// The task list's context menu as a popup menu of the window's, opened at a
// point on the screen and waited for.
class Win32TaskMenu : public TaskMenu {
  public:
    Win32TaskMenu(HWND owner, POINT screenPoint) : owner_(owner), at_(screenPoint) {}
    MenuCommand Show(const TaskMenuItems& items) override;

  private:
    HWND owner_;
    POINT at_;
};

// The list's menu for a WM_CONTEXTMENU at this screen point (-1 from the
// keyboard): on the task under the pointer, or from the keyboard on the
// selected task, or else on the empty part of the list; what is chosen there
// runs before this returns.
void OpenTaskMenu(HWND owner, HWND list, LPARAM screenPoint, Form1Handlers& handlers);

}  // namespace torvane
