// How many lines a message box may hold: a question of that many lines, less
// the six the box needs beside its text, stays on the screen with its buttons.
#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <thread>

#include "platform/win32/win32_dialogs.h"

namespace torvane {
namespace {

// The box's rectangle, taken from another thread while it shows; then Yes.
RECT BoxOfLines(Win32Dialogs& dialogs, int lines) {
    RECT box{};
    std::thread user([&] {
        for (int i = 0; i < 500; ++i) {
            HWND dialog = FindWindowW(L"#32770", L"行数");
            if (dialog && IsWindowVisible(dialog)) {
                GetWindowRect(dialog, &box);
                PostMessageW(GetDlgItem(dialog, IDYES), BM_CLICK, 0, 0);
                return;
            }
            Sleep(20);
        }
    });
    std::wstring text = L"第 1 行";
    for (int i = 2; i <= lines; ++i) text += L"\r\n第 " + std::to_wstring(i) + L" 行";
    dialogs.ShowMessageBox(text, kButtonsYesNo, L"行数");
    user.join();
    return box;
}

TEST(Win32Dialogs, AQuestionOfTheLinesThatFitStaysInTheWorkArea) {
    OwnerWindow owner;
    Win32Dialogs dialogs(owner);
    const int capacity = dialogs.MessageBoxLineCapacity();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(nullptr, MONITOR_DEFAULTTOPRIMARY), &monitor));
    const RECT work = monitor.rcWork;
    ASSERT_GT(capacity, 10) << "work area " << work.bottom - work.top << " pixels high";
    ASSERT_LT(capacity, work.bottom - work.top) << "a line is more than a pixel";

    const RECT fits = BoxOfLines(dialogs, capacity - 6);
    EXPECT_GE(fits.top, work.top);
    EXPECT_LE(fits.bottom, work.bottom) << capacity - 6 << " lines";
    // The control: as many lines as the whole work area holds do not fit
    // beside a title bar and buttons.
    const RECT tooMany = BoxOfLines(dialogs, capacity);
    EXPECT_GT(tooMany.bottom - tooMany.top, work.bottom - work.top) << capacity << " lines";
}

}  // namespace
}  // namespace torvane
