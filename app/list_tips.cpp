#include "app/list_tips.h"

#include <commctrl.h>

#include "app/common_controls.h"
#include "app/dpi.h"
#include "app/task_catalogue.h"
#include "app/win32_list_view.h"

namespace torvane {
namespace {

// Wide enough for a key path on few lines, narrow enough to read; the lines
// of a tip break at its "\r\n" first.
constexpr int kTipWidthAt96 = 420;
constexpr UINT_PTR kToolId = 1;
constexpr int kLongestShowing = 32767;  // milliseconds, the most TTM_SETDELAYTIME takes

TTTOOLINFOW Tool(HWND list) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = list;
    tool.uId = kToolId;
    return tool;
}

}  // namespace

void ListTips::Attach(HWND listView) {
    list_ = listView;
    SetWindowLongPtrW(list_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    listProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListProc)));
}

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
    SendMessageW(tip_, TTM_POP, 0, 0);
    item_ = -1;
    SetToolRect({});
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
    if (!tip_) CreateTip();
    if (!tip_) return;
    LVHITTESTINFO hit{};
    hit.pt = {static_cast<short>(LOWORD(move.lParam)), static_cast<short>(HIWORD(move.lParam))};
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

LRESULT CALLBACK ListTips::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ListTips*>(GetWindowLongPtrW(list, GWLP_USERDATA));
    return self->OnListMessage(message, wParam, lParam);
}

LRESULT ListTips::OnListMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC listProc = listProc_;
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
        case WM_NOTIFYFORMAT:
            if (tip_ && reinterpret_cast<HWND>(wParam) == tip_) return NFR_UNICODE;
            break;
        case WM_NOTIFY: {
            auto* request = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            if (!tip_ || request->hdr.hwndFrom != tip_) break;
            // The list view has tooltips of its own and would take ours for
            // them: nothing from our tooltip may reach its handler.
            if (request->hdr.code != TTN_GETDISPINFOW) return 0;
            // Read now, not when the pointer arrived: the tip shows the registry
            // as it is when the tip appears.
            text_ = item_ >= 0 ? TaskTip(ListItemText(list_, item_), context_) : L"";
            request->lpszText = text_.data();
            request->hinst = nullptr;
            return 0;
        }
        case WM_NCDESTROY:
            SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc));
            tip_ = nullptr;  // an owned window, destroyed with the main window
            break;
    }
    return CallWindowProcW(listProc, list_, message, wParam, lParam);
}

}  // namespace torvane
