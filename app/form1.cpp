#include "app/form1.h"

#include "app/control_ids.h"
#include "app/dpi.h"
#include "app/form1_layout.h"
#include "app/resources/resource_ids.h"
#include "app/task_catalogue.h"
#include "app/task_menu.h"

namespace torvane {
namespace {

struct ControlKind {
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
};

ControlKind KindOf(int id) {
    constexpr DWORD kLabel = SS_LEFTNOWORDWRAP | SS_NOTIFY | SS_NOPREFIX;
    constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
    switch (id) {
        case IDC_LABEL1:
            return {L"STATIC", L"注册表管理", kLabel};
        case IDC_LABEL2:
            return {L"STATIC", L"磁盘与文件管理", kLabel};
        case IDC_LABEL3:
            return {L"STATIC", L"桌面管理", kLabel};
        case IDC_LABEL4:
            return {L"STATIC", L"系统优化", kLabel};
        case IDC_LISTVIEW1:
            // The window owns the image list, which changes with the DPI.
            return {WC_LISTVIEWW, L"",
                    LVS_ICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE |
                        LVS_SHAREIMAGELISTS | WS_TABSTOP};
        case IDC_COMMAND1:
            return {L"BUTTON", L"确定", kButton};
        case IDC_COMMAND2:
            return {L"BUTTON", L"退出", kButton};
    }
    return {L"STATIC", L"", 0};
}

}  // namespace

Form1::Form1(HINSTANCE instance, OwnerWindow& owner, TweakContext& context,
             FileDialog& exportDialog)
    : instance_(instance),
      owner_(owner),
      handlers_(list_, context, exportDialog),
      tips_(context),
      listAccessibility_(context, handlers_) {}

Form1::~Form1() {
    if (window_) DestroyWindow(window_);
}

bool Form1::Show(int showCommand) {
    handCursor_ = static_cast<HCURSOR>(LoadImageW(instance_, MAKEINTRESOURCEW(IDC_HAND_POINTER),
                                                  IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_APPLICATION_ICON));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APPLICATION_ICON), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = TORVANE_WINDOW_CLASS;
    if (!RegisterClassExW(&windowClass)) return false;

    // Created at its size for the system's DPI, centred; corrected only when the
    // monitor it lands on has another DPI, or the text size grows it.
    dpi_ = SystemDpi();
    SIZE frame = FrameSize();
    window_ = CreateWindowExW(kWindowExStyle, TORVANE_WINDOW_CLASS, TORVANE_WINDOW_TITLE,
                              kWindowStyle, (GetSystemMetrics(SM_CXSCREEN) - frame.cx) / 2,
                              (GetSystemMetrics(SM_CYSCREEN) - frame.cy) / 2, frame.cx, frame.cy,
                              nullptr, nullptr, instance_, this);
    if (!window_) return false;
    if (const SIZE actual = FrameSize(); actual.cx != frame.cx || actual.cy != frame.cy) {
        PlaceFrame({(GetSystemMetrics(SM_CXSCREEN) - actual.cx) / 2,
                    (GetSystemMetrics(SM_CYSCREEN) - actual.cy) / 2});
    }
    owner_.handle = window_;
    handlers_.OnLoad();
    ShowWindow(window_, showCommand);
    // No UpdateWindow: the first paint comes from the message loop, which
    // first answers whatever other programs (accessibility tools, say) are
    // already asking the new window, instead of keeping them waiting.
    SetFocus(GetDlgItem(window_, IDC_LISTVIEW1));
    return true;
}

void Form1::CreateControls() {
    for (const ControlPlacement& place : kForm1Layout) {
        const ControlKind kind = KindOf(place.id);
        HWND control = CreateWindowExW(
            0, kind.className, kind.text, kind.style | WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)), instance_, nullptr);
        if (place.id >= IDC_LABEL1 && place.id <= IDC_LABEL4)
            labels_[place.id - IDC_LABEL1] = control;
    }
    HWND listView = GetDlgItem(window_, IDC_LISTVIEW1);
    list_.Attach(listView);
    tips_.Attach(listView);
    listSubclass_.Attach(listView);
    labelLinks_.Attach(labels_, window_);
}

void Form1::RememberFocus() {
    HWND focus = GetFocus();
    if (focus && IsChild(window_, focus)) lastFocus_ = focus;
}

bool Form1::IsLabel(HWND control) const {
    for (HWND label : labels_) {
        if (label == control) return true;
    }
    return false;
}

LRESULT CALLBACK Form1::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return DefWindowProcW(window, message, wParam, lParam);
    return form->HandleMessage(message, wParam, lParam);
}

LRESULT Form1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            CreateControls();
            ApplyPalette();
            ApplyDpi(WindowDpi(window_));
            return 0;
        case WM_DPICHANGED: {
            // Exactly where Windows suggests, position and size, so that the
            // window neither jumps back between two monitors nor drifts.
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            ApplyDpi(HIWORD(wParam), MonitorFromRect(suggested, MONITOR_DEFAULTTONEAREST));
            SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_CANCELMODE:
            // Sent when a modal dialog disables this window, just before the
            // focus is taken from the control that has it.
            RememberFocus();
            break;
        case WM_ACTIVATE:
            // DefWindowProc would give the focus to the frame itself, where no
            // key does anything; a dialog gives it back to its control.
            if (LOWORD(wParam) == WA_INACTIVE) {
                RememberFocus();
                return 0;
            }
            if (!HIWORD(wParam)) {  // not minimised
                SetFocus(lastFocus_ && IsWindow(lastFocus_) ? lastFocus_
                                                            : GetDlgItem(window_, IDC_LISTVIEW1));
                return 0;
            }
            break;
        case WM_CLOSE:
            // A close that arrives while a task's dialog is up waits for no one:
            // the task's own windows would vanish under it.
            if (handlers_.TaskRunning()) return 0;
            break;
        case WM_ERASEBKGND:
            PaintBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case kShowCategoryMessage:
            if (wParam >= 1 && wParam <= labels_.size())
                ShowCategory(static_cast<int>(wParam), true);
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == IDC_LISTVIEW1) OnListNotify(*header);
            break;
        }
        case WM_MOVE:
            tips_.HideKeyboardTip();  // it would stay where the item was
            break;
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == GetDlgItem(window_, IDC_LISTVIEW1)) {
                OnListContextMenu(lParam);
                return 0;
            }
            break;
        case WM_SETTINGCHANGE:
            OnSettingChange(static_cast<UINT>(wParam));
            return 0;
        case WM_SYSCOLORCHANGE:
            OnSystemColourChange();
            return 0;
        case WM_CTLCOLORSTATIC: {
            // Text straight on the background: no box of the label's own.
            auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, palette_.labelText);
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        }
        case WM_SETCURSOR:
            // Every move of the pointer over the window or a control comes here.
            if (POINT pointer{}; GetCursorPos(&pointer)) tips_.PointerAt(pointer);
            if (IsLabel(reinterpret_cast<HWND>(wParam)) && handCursor_) {
                SetCursor(handCursor_);
                return TRUE;
            }
            break;
        case WM_DESTROY: {
            HWND closing = window_;
            window_ = nullptr;
            owner_.handle = nullptr;
            owner_.font = nullptr;
            SetWindowLongPtrW(closing, GWLP_USERDATA, 0);
            PostQuitMessage(0);
            return 0;
        }
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace torvane
