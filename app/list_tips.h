#pragma once

#include <windows.h>

#include <string>

#include "tweaks/tweak_context.h"

namespace torvane {

// A tooltip of the window's own over ListView1, showing the tip of the task
// under the pointer after the usual hover delay. Wine's list view implements
// neither LVS_EX_INFOTIP nor LVN_GETINFOTIP, so this one path serves Windows and
// Wine alike. Nothing is created, and nothing read, before the pointer first
// moves over the list; the text is built only when the tooltip asks for it.
class ListTips {
  public:
    explicit ListTips(TweakContext& context) : context_(context) {}
    ListTips(const ListTips&) = delete;
    ListTips& operator=(const ListTips&) = delete;

    // Takes the list view's mouse messages and the tooltip's requests.
    void Attach(HWND listView);
    // The window's font at its DPI and layout scale; the caller deletes an old
    // font only after this has handed the tooltip the new one.
    void SetFont(HFONT font, int dpi, double scale);
    // The items changed under the pointer: the tip shown belongs to none of them.
    void Forget();

  private:
    static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnListMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnMouseMove(const MSG& move);
    void CreateTip();
    void SetToolRect(const RECT& rect);
    void Relay(const MSG& message);

    TweakContext& context_;
    HWND list_ = nullptr;
    HWND tip_ = nullptr;
    WNDPROC listProc_ = nullptr;
    int dpi_ = 96;
    double scale_ = 1;      // the layout's, for the text size
    HFONT font_ = nullptr;  // the window's, not ours
    int item_ = -1;         // the item whose rectangle the tool has, -1 for none
    std::wstring text_;     // the text the tooltip was last handed; it copies it
};

}  // namespace torvane
