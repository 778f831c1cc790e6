#include "app/form1.h"

#include <commctrl.h>

#include "app/control_ids.h"
#include "app/form1_layout.h"
#include "app/resources/resource_ids.h"

namespace torvane {
namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
constexpr COLORREF kLabelColour = RGB(255, 0, 0);
constexpr COLORREF kPictureMask = RGB(192, 192, 192);
constexpr int kPictureWidth = 18;
constexpr int kPictureHeight = 19;
constexpr int kScreenDpi = 96;

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
            return {WC_LISTVIEWW, L"",
                    LVS_ICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE | WS_TABSTOP};
        case IDC_COMMAND1:
            return {L"BUTTON", L"确定", kButton};
        case IDC_COMMAND2:
            return {L"BUTTON", L"退出", kButton};
    }
    return {L"STATIC", L"", 0};
}

UniqueHfont CreateInterfaceFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return UniqueHfont(CreateFontIndirectW(&metrics.lfMessageFont));
}

}  // namespace

Form1::Form1(HINSTANCE instance, OwnerWindow& owner, TweakContext& context)
    : instance_(instance), owner_(owner), handlers_(list_, context) {}

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

    RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, kScreenDpi),
               TwipsToPixels(kClientHeightTwips, kScreenDpi)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

    window_ =
        CreateWindowExW(kWindowExStyle, TORVANE_WINDOW_CLASS, TORVANE_WINDOW_TITLE, kWindowStyle,
                        left, top, width, height, nullptr, nullptr, instance_, this);
    if (!window_) return false;
    owner_.handle = window_;
    handlers_.OnLoad();
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(GetDlgItem(window_, IDC_LISTVIEW1));
    return true;
}

void Form1::CreateControls() {
    font_ = CreateInterfaceFont();
    for (const ControlPlacement& place : kForm1Layout) {
        const ControlKind kind = KindOf(place.id);
        HWND control = CreateWindowExW(
            0, kind.className, kind.text, kind.style | WS_CHILD | WS_VISIBLE,
            TwipsToPixels(place.left, kScreenDpi), TwipsToPixels(place.top, kScreenDpi),
            TwipsToPixels(place.width, kScreenDpi), TwipsToPixels(place.height, kScreenDpi),
            window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)), instance_, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        if (place.id >= IDC_LABEL1 && place.id <= IDC_LABEL4)
            labels_[place.id - IDC_LABEL1] = control;
    }

    HWND listView = GetDlgItem(window_, IDC_LISTVIEW1);
    list_.Attach(listView);
    pictures_ = ImageList_Create(kPictureWidth, kPictureHeight, ILC_COLOR24 | ILC_MASK, 4, 0);
    UniqueHbitmap strip(static_cast<HBITMAP>(LoadImageW(
        instance_, MAKEINTRESOURCEW(IDB_LIST_PICTURES), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ImageList_AddMasked(pictures_, strip.get(), kPictureMask);
    ListView_SetImageList(listView, pictures_, LVSIL_NORMAL);
}

bool Form1::IsLabel(HWND control) const {
    for (HWND label : labels_) {
        if (label == control) return true;
    }
    return false;
}

void Form1::OnCommand(int id, int notification) {
    if (id >= IDC_LABEL1 && id <= IDC_LABEL4) {
        if (notification == STN_CLICKED) handlers_.OnLabelClick(id - IDC_LABEL1 + 1);
        return;
    }
    if (notification != BN_CLICKED) return;
    if (id == IDC_COMMAND1) handlers_.OnOkClick();
    if (id == IDC_COMMAND2) handlers_.OnExitClick();
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
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC: {
            auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, kLabelColour);
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        }
        case WM_SETCURSOR:
            if (IsLabel(reinterpret_cast<HWND>(wParam)) && handCursor_) {
                SetCursor(handCursor_);
                return TRUE;
            }
            break;
        case WM_DESTROY: {
            HWND closing = window_;
            window_ = nullptr;
            owner_.handle = nullptr;
            SetWindowLongPtrW(closing, GWLP_USERDATA, 0);
            PostQuitMessage(0);
            return 0;
        }
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace torvane
