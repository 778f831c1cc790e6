#include "app/list_tips.h"

#include <commctrl.h>

#include <algorithm>

#include "app/common_controls.h"
#include "app/dpi.h"
#include "app/task_catalogue.h"
#include "app/win32_list_view.h"

namespace torvane {
namespace {

// Wide enough for a key path on few lines, narrow enough to read; the lines
// of a tip break at its "\r\n" first.
constexpr int kTipWidthAt96 = 420;
constexpr UINT_PTR kToolId = 1;          // follows the pointer
constexpr UINT_PTR kKeyboardToolId = 2;  // placed below the item a key selected
constexpr int kLongestShowing = 32767;   // milliseconds, the most TTM_SETDELAYTIME takes

TTTOOLINFOW Tool(HWND list, UINT_PTR id = kToolId) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = list;
    tool.uId = id;
    return tool;
}

}  // namespace

void ListTips::SetFont(HFONT font, int dpi, double scale) {
    font_ = font;
    dpi_ = dpi;
    scale_ = scale;
    if (!tip_) return;
    SendMessageW(tip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, Scale(kTipWidthAt96, dpi_, scale_));
}

void ListTips::Forget() {
    if (!tip_) return;
    HideKeyboardTip();
    SendMessageW(tip_, TTM_POP, 0, 0);
    item_ = -1;
    SetToolRect({});
}

void ListTips::ShowForKeyboard(int item) {
    if (!tip_) CreateTip();
    if (!tip_) return;
    TTTOOLINFOW tool = Tool(list_, kKeyboardToolId);
    if (!keyboardTool_) {
        tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        keyboardTool_ = SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        if (!keyboardTool_) return;
    }
    // One tip at a time: the pointer's goes, and the last key's.
    SendMessageW(tip_, TTM_POP, 0, 0);
    HideKeyboardTip();
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    if (!SendMessageW(list_, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&bounds))) return;
    MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&bounds), 2);
    keyboardItem_ = item;
    GetCursorPos(&keyboardPointer_);
    SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(bounds.left, bounds.bottom));
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    KeepOnMonitor(bounds);
}

// An absolute tracking tip stands where it is put, even half off the screen:
// below the item if it fits there, else above it, and never past the edges of
// the item's monitor. Where it was put is item's bottom left; some tooltips
// count their border in, so the place asked for is corrected by what came.
void ListTips::KeepOnMonitor(const RECT& item) {
    RECT tip{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetWindowRect(tip_, &tip) ||
        !GetMonitorInfoW(MonitorFromRect(&item, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return;
    }
    const RECT& work = monitor.rcWork;
    const LONG width = tip.right - tip.left;
    const LONG height = tip.bottom - tip.top;
    POINT at{item.left, item.bottom};
    if (at.y + height > work.bottom) at.y = item.top - height;
    at.x = std::max(work.left, std::min(at.x, work.right - width));
    at.y = std::max(work.top, std::min(at.y, work.bottom - height));
    if (at.x != tip.left || at.y != tip.top) {
        const POINT asked{at.x - (tip.left - item.left), at.y - (tip.top - item.bottom)};
        SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(asked.x, asked.y));
    }
}

void ListTips::HideKeyboardTip() {
    if (keyboardItem_ < 0) return;
    keyboardItem_ = -1;
    TTTOOLINFOW tool = Tool(list_, kKeyboardToolId);
    SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

void ListTips::PointerAt(POINT screen) {
    if (keyboardItem_ >= 0 && (screen.x != keyboardPointer_.x || screen.y != keyboardPointer_.y))
        HideKeyboardTip();
}

void ListTips::CreateTip() {
    // Registered only now, so that the start-up does no more than it did.
    if (Comctl().initCommonControlsEx) {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES};
        Comctl().initCommonControlsEx(&classes);
    }
    tip_ = CreateWindowExW(
        WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetAncestor(list_, GA_ROOT),
        nullptr, reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(list_, GWLP_HINSTANCE)), nullptr);
    if (!tip_) return;
    TTTOOLINFOW tool = Tool(list_);
    tool.lpszText = LPSTR_TEXTCALLBACKW;  // asked for at each showing, so always fresh
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // A maximum width makes the tooltip break lines, at "\r\n" too.
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, Scale(kTipWidthAt96, dpi_, scale_));
    if (font_) SendMessageW(tip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    // Most tips run to ten lines: by default the tooltip would put them away
    // after about five seconds, before they are read. This keeps one up for
    // as long as the tooltip allows while the pointer rests.
    SendMessageW(tip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kLongestShowing, 0));
}

void ListTips::SetToolRect(const RECT& rect) {
    TTTOOLINFOW tool = Tool(list_);
    tool.rect = rect;
    SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void ListTips::Relay(const MSG& message) {
    SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
}

void ListTips::OnMouseMove(const MSG& move) {
    const POINT at{static_cast<short>(LOWORD(move.lParam)),
                   static_cast<short>(HIWORD(move.lParam))};
    POINT screen = at;
    ClientToScreen(list_, &screen);
    PointerAt(screen);
    // A pointer that only seems to move must not start a hover tip over the
    // keyboard's.
    if (keyboardItem_ >= 0) return;
    if (!tip_) CreateTip();
    if (!tip_) return;
    LVHITTESTINFO hit{};
    hit.pt = at;
    int item =
        static_cast<int>(SendMessageW(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (!(hit.flags & LVHT_ONITEM)) item = -1;
    if (item != item_) {
        // The tool is one rectangle that moves from item to item. The tooltip
        // first sees the pointer leave the old one, so that it waits its delay
        // again before it shows the new item's tip.
        Forget();
        Relay(move);
        item_ = item;
        if (item >= 0) {
            RECT bounds{};
            bounds.left = LVIR_BOUNDS;
            SendMessageW(list_, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&bounds));
            SetToolRect(bounds);
        }
    }
    Relay(move);
}

bool ListTips::OnListMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_MOUSEMOVE:
            OnMouseMove({list_, message, wParam, lParam, 0, {}});
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            if (tip_) Relay({list_, message, wParam, lParam, 0, {}});  // a click hides the tip
            break;
        case WM_KILLFOCUS:
            HideKeyboardTip();
            break;
        case WM_NOTIFYFORMAT:
            if (tip_ && reinterpret_cast<HWND>(wParam) == tip_) {
                result = NFR_UNICODE;
                return true;
            }
            break;
        case WM_NOTIFY: {
            auto* request = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            if (!tip_ || request->hdr.hwndFrom != tip_) break;
            // The list view has tooltips of its own and would take ours for
            // them: nothing from our tooltip may reach its handler.
            result = 0;
            if (request->hdr.code != TTN_GETDISPINFOW) return true;
            // Read now, not when the pointer arrived: the tip shows the registry
            // as it is when the tip appears.
            const int item = request->hdr.idFrom == kKeyboardToolId ? keyboardItem_ : item_;
            text_ = item >= 0 ? TaskTip(ListItemText(list_, item), context_) : L"";
            request->lpszText = text_.data();
            request->hinst = nullptr;
            return true;
        }
        case WM_NCDESTROY:
            tip_ = nullptr;  // an owned window, destroyed with the main window
            break;
    }
    return false;
}

}  // namespace torvane
