#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <vector>

#include "app/accessible_label.h"
#include "app/accessible_list.h"
#include "app/common_controls.h"
#include "app/display_settings.h"
#include "app/form1_handlers.h"
#include "app/list_tips.h"
#include "app/task_list_subclass.h"
#include "app/win32_list_view.h"
#include "platform/win32/owner_window.h"
#include "platform/win32/unique_handles.h"

namespace torvane {

// Posted to the window to show a category as a keyboard switch does; wParam
// is the label's number. A label's accessible default action posts it, so
// that the switch runs from the message loop, not inside the caller's call.
inline constexpr UINT kShowCategoryMessage = WM_APP + 1;

// The one window: the background picture, four category labels, the task list
// and two buttons, laid out from twips for the DPI of the monitor it is on and
// for the system's text size, in the system's colours under high contrast.
class Form1 {
  public:
    Form1(HINSTANCE instance, OwnerWindow& owner, TweakContext& context, FileDialog& exportDialog);
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Creates the window with its controls, runs the load handler and shows it
    // centred on the screen.
    bool Show(int showCommand);
    HWND handle() const { return window_; }
    // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PageDown and Ctrl+PageUp anywhere in the
    // window, taken before the dialog keys turn Ctrl+Tab into Tab: true when
    // the message was one of them.
    bool HandleCategoryKey(const MSG& message);

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    // Sizes, fonts and pictures for this DPI and the text size, within the work
    // area of the monitor given (none: the window's own).
    void ApplyDpi(int dpi, HMONITOR monitor = nullptr);
    void ApplyPalette();  // colours for high contrast or the picture's
    SIZE FrameSize() const;
    // Moves the window there at its frame size; a window grown for the text
    // size is moved only as far as it takes to keep it in the work area.
    void PlaceFrame(POINT origin);
    void PaintBackground(HDC dc);
    void OnSettingChange(UINT action);
    void OnSystemColourChange();
    void Redraw();  // everything, the transparent labels over a new background too
    void OnCommand(int id, int notification);
    // Right click, Shift+F10 or the menu key on the task list.
    void OnListContextMenu(LPARAM screenPoint);
    // What a click on the label runs; from the keyboard (or a screen
    // reader) the focus then goes to the list, with its focus cues shown.
    void ShowCategory(int labelNumber, bool fromKeyboard);
    void OnListNotify(const NMHDR& header);
    bool IsLabel(HWND control) const;
    void RememberFocus();

    HINSTANCE instance_;
    OwnerWindow& owner_;
    HWND window_ = nullptr;
    int dpi_ = 96;
    double scale_ = 1;  // how far the layout has grown for the text size
    Palette palette_;
    Win32ListView list_;
    Form1Handlers handlers_;
    ListTips tips_;  // what each task does, on hovering over it or selecting it by key
    TaskListAccessibility listAccessibility_;  // the list's name and descriptions
    TaskListSubclass listSubclass_{tips_, listAccessibility_};
    UniqueHfont font_;
    std::vector<UniqueHfont> retiredFonts_;  // still shown by a task's open input box
    UniqueHbitmap background_;
    SIZE backgroundSize_{};  // the size background_ was made for, or tried at
    UniqueImageList pictures_;
    HCURSOR handCursor_ = nullptr;
    std::array<HWND, 4> labels_{};
    CategoryLinks labelLinks_;  // the labels as links, for screen readers
    // The control that had the keyboard focus when the window was last
    // deactivated; it gets the focus back on reactivation, as in a dialog.
    HWND lastFocus_ = nullptr;
};

}  // namespace torvane
