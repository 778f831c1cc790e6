#pragma once

#include <windows.h>

namespace torvane {

// The main window, which owns every dialog. It is set once the window exists;
// dialogs shown before that have no owner.
struct OwnerWindow {
    HWND handle = nullptr;
};

}  // namespace torvane
