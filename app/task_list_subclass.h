#pragma once

#include <windows.h>

#include "app/accessible_list.h"
#include "app/list_tips.h"

namespace torvane {

// ListView1's own window procedure with what the window adds to it: the tips,
// the first key after a fill, which selects a task where the list view would
// otherwise skip one, and what screen readers hear of it.
class TaskListSubclass {
  public:
    TaskListSubclass(ListTips& tips, TaskListAccessibility& accessibility)
        : tips_(tips), accessibility_(accessibility) {}
    TaskListSubclass(const TaskListSubclass&) = delete;
    TaskListSubclass& operator=(const TaskListSubclass&) = delete;

    void Attach(HWND list);
    // Whether the list is handling a key now, so that a change of selection
    // reported meanwhile came from the keyboard.
    bool HandlingKey() const { return keysInHand_ > 0; }

  private:
    static LRESULT CALLBACK Proc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool SelectFirstForKey(WPARAM key);

    ListTips& tips_;
    TaskListAccessibility& accessibility_;
    HWND list_ = nullptr;
    WNDPROC original_ = nullptr;
    int keysInHand_ = 0;
};

}  // namespace torvane
