#pragma once

#include <windows.h>

namespace torvane {

// The main window, which owns every dialog. It is set once the window exists;
// dialogs shown before that have no owner.
struct OwnerWindow {
    HWND handle = nullptr;
    // The window's font at its DPI, which its input boxes use too; null
    // before the window exists.
    HFONT font = nullptr;
    int dpi = 96;  // the DPI the font was made for
};

}  // namespace torvane
