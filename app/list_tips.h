#pragma once

#include <windows.h>

#include <string>

#include "tweaks/tweak_context.h"

namespace torvane {

// A tooltip of the window's own over ListView1, showing the tip of the task
// under the pointer after the usual hover delay, and at once below a task the
// keyboard selects. Wine's list view implements neither LVS_EX_INFOTIP nor
// LVN_GETINFOTIP, so this one path serves Windows and Wine alike. Nothing is
// created, and nothing read, before the pointer first moves over the list or
// a key first selects a task; the text is built only when the tooltip asks.
class ListTips {
  public:
    explicit ListTips(TweakContext& context) : context_(context) {}
    ListTips(const ListTips&) = delete;
    ListTips& operator=(const ListTips&) = delete;

    void Attach(HWND listView) { list_ = listView; }
    // The list's messages, before the list sees them: true when this took
    // the message, with the result the list's sender gets.
    bool OnListMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The window's font at its DPI and layout scale; the caller deletes an old
    // font only after this has handed the tooltip the new one.
    void SetFont(HFONT font, int dpi, double scale);
    // The items changed under the pointer: the tip shown belongs to none of them.
    void Forget();

    // Shows the item's tip at once, below the item and kept on its monitor:
    // what hovering shows, for a task selected from the keyboard.
    void ShowForKeyboard(int item);
    // Puts that tip away, as when the focus leaves the list or Esc is pressed.
    void HideKeyboardTip();
    // The pointer is at this point of the screen: once it has really moved
    // since the keyboard's tip appeared, that tip goes. Wine also reports the
    // pointer where it rests.
    void PointerAt(POINT screen);

  private:
    void OnMouseMove(const MSG& move);
    void CreateTip();
    void SetToolRect(const RECT& rect);
    void Relay(const MSG& message);
    void KeepOnMonitor(const RECT& item);

    TweakContext& context_;
    HWND list_ = nullptr;
    HWND tip_ = nullptr;
    int dpi_ = 96;
    double scale_ = 1;           // the layout's, for the text size
    HFONT font_ = nullptr;       // the window's, not ours
    int item_ = -1;              // the item whose rectangle the tool has, -1 for none
    std::wstring text_;          // the text the tooltip was last handed; it copies it
    bool keyboardTool_ = false;  // made when a key first selects a task
    int keyboardItem_ = -1;      // the item the keyboard's tip shows, -1 when hidden
    POINT keyboardPointer_{};    // where the pointer was when that tip appeared
};

}  // namespace torvane
