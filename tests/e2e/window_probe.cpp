// Waits for the program's main window and prints its outer rectangle on the
// screen as "left top width height"; with --close it then closes the window.
// The run script uses it to take a screenshot of just the window.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    const bool close = argc > 1 && std::wcscmp(argv[1], L"--close") == 0;
    for (int i = 0; i < 600; ++i) {
        HWND window = FindWindowW(L"TorvaneForm1", nullptr);
        if (window && IsWindowVisible(window)) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
            if (close) {
                PostMessageW(window, WM_CLOSE, 0, 0);
                return 0;
            }
            RECT rect{};
            GetWindowRect(window, &rect);
            std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top);
            return 0;
        }
        Sleep(50);
    }
    std::fprintf(stderr, "the main window did not appear\n");
    return 1;
}
