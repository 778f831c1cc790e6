// Reference programs for the start-up benchmark. The reference window is the
// least that looks like our first view: common controls version 6 through the
// same manifest as ours, a list view with four items and a button. Built with
// TORVANE_BARE_WINDOW, it is a bare window: one class, one window, shown.
#include <windows.h>

#include <commctrl.h>

namespace {

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

#ifndef TORVANE_BARE_WINDOW
void AddFirstView(HINSTANCE instance, HWND window) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    HWND list = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_ICON | LVS_SINGLESEL | LVS_AUTOARRANGE, 150, 10,
        300, 250, window, nullptr, instance, nullptr);
    for (int i = 0; i < 4; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(L"项目");
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    CreateWindowExW(0, L"BUTTON", L"确定", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 150,
                    270, 90, 28, window, nullptr, instance, nullptr);
}
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = TORVANE_BENCH_CLASS;
    if (!RegisterClassW(&windowClass)) return 1;
    HWND window =
        CreateWindowExW(0, TORVANE_BENCH_CLASS, L"Reference",
                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                        CW_USEDEFAULT, 480, 360, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
#ifndef TORVANE_BARE_WINDOW
    AddFirstView(instance, window);
#endif
    // Like ours, the first paint is left to the message loop.
    ShowWindow(window, showCommand);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
