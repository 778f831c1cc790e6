// The notice of a changed setting reaches the top-level windows of other
// threads, and a window that does not answer holds it up only briefly.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/win32_setting_broadcast.h"

namespace torvane {
namespace {

// A hidden top-level window on a thread of its own, as another program's
// window would be; it keeps every WM_SETTINGCHANGE it is sent.
class ListeningWindow {
  public:
    // busyFor: how long the thread ignores its messages once the window exists.
    explicit ListeningWindow(DWORD busyFor = 0) : thread_([this, busyFor] { Run(busyFor); }) {
        for (int i = 0; i < 500 && !window_; ++i) Sleep(10);
    }
    ~ListeningWindow() {
        if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    bool exists() const { return window_ != nullptr; }
    std::vector<std::pair<WPARAM, std::wstring>> Received() {
        std::lock_guard<std::mutex> lock(mutex_);
        return received_;
    }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<ListeningWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_SETTINGCHANGE && self) {
            std::lock_guard<std::mutex> lock(self->mutex_);
            self->received_.emplace_back(
                wParam, lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"<null>");
            return 0;
        }
        if (message == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    void Run(DWORD busyFor) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TorvaneSettingListener";
        RegisterClassW(&windowClass);  // a second registration fails harmlessly
        HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0,
                                      10, 10, nullptr, nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        window_ = window;
        if (busyFor) Sleep(busyFor);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    }

    std::mutex mutex_;
    std::vector<std::pair<WPARAM, std::wstring>> received_;
    std::atomic<HWND> window_{nullptr};
    std::thread thread_;
};

TEST(Win32SettingBroadcast, ATopLevelWindowOfAnotherThreadIsToldIntl) {
    ListeningWindow listener;
    ASSERT_TRUE(listener.exists());
    Win32SettingBroadcast().SettingChanged(kInternationalArea);
    // Sent, not posted: the window has it by the time the call returns.
    EXPECT_EQ(listener.Received(), (std::vector<std::pair<WPARAM, std::wstring>>{{0, L"intl"}}));
}

TEST(Win32SettingBroadcast, AWindowThatDoesNotAnswerHoldsItUpBriefly) {
    constexpr DWORD kBusy = 3000;
    ListeningWindow busy(kBusy);
    ListeningWindow answering;
    ASSERT_TRUE(busy.exists() && answering.exists());
    const auto start = std::chrono::steady_clock::now();
    Win32SettingBroadcast().SettingChanged(kInternationalArea);
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
    EXPECT_LT(took, 1500) << "waited for the busy window";
    EXPECT_EQ(answering.Received().size(), 1u) << "the others are still told";
}

}  // namespace
}  // namespace torvane
