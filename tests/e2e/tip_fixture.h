#pragma once

// Tips as a user sees them: the tooltip window the program shows, its text,
// and what each task's tip must hold.
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/task_menu_fixture.h"

namespace torvane::e2e {

inline const std::wstring kSystemPolicy =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
inline const std::wstring kExplorerPolicy =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline const std::wstring kUnloadDll =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL";

struct ItemTip {
    std::wstring keyPath;  // in full
    std::wstring own;      // a part no other tip of the category has
};

// Per category, in list order.
inline const std::vector<std::vector<ItemTip>> kTips{
    {{L"HKEY_CURRENT_USER\\" + kSystemPolicy, L"作用：导出整个注册表"},
     {L"HKEY_CURRENT_USER\\" + kSystemPolicy, L"作用：把你选择的 .reg 文件交给 Windows 打开"},
     {L"HKEY_CURRENT_USER\\" + kSystemPolicy, L"写入：DisableRegistryTools = 1（REG_DWORD）"},
     {L"HKEY_CURRENT_USER\\" + kSystemPolicy, L"删除：DisableRegistryTools"}},
    {{L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters",
      L"写入：DiskSpaceThreshold"}},
    {{L"HKEY_USERS\\.DEFAULT\\Control Panel\\Desktop", L"写入：Wallpaper = 你选择的图片"},
     {L"HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics", L"写入：Shell Icon Size"},
     {L"HKEY_CURRENT_USER\\" + kExplorerPolicy, L"写入：NoDesktop"},
     {L"HKEY_CURRENT_USER\\Control Panel\\International", L"写入：sTimeFormat"},
     {L"HKEY_CURRENT_USER\\" + kSystemPolicy, L"Wallpaperstyle = “0”"}},
    {{L"HKEY_USERS\\.DEFAULT\\Control Panel\\Desktop", L"写入：WaitToKillAppTimeout"},
     {L"HKEY_LOCAL_MACHINE\\" + kUnloadDll, L"写入：（默认）"},
     {L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\FileSystem",
      L"写入：ConfigFileAllocsize = 500"}},
};

class TipTest : public EndToEndTest {
  protected:
    using Clock = std::chrono::steady_clock;

    // The pointer goes where no later test's window is, so that no tip shows
    // over a window another test looks at.
    void TearDown() override {
        MoveMouseTo({0, 0});
        EndToEndTest::TearDown();
    }

    HWND VisibleTip() { return VisibleWindowOfClass(app->processId(), L"tooltips_class32"); }

    // Real input: the system moves the pointer and the program sees it move.
    static void MoveMouseTo(POINT point) { MouseAt(point, 0); }

    // The tip once it shows. Until the program has taken the input that
    // brings a new one, the tip before may still be up: a tip counts only
    // once its text differs from the last one read.
    std::wstring ReadNewTip() {
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < deadline) {
            if (HWND tip = VisibleTip()) {
                wchar_t text[2048] = {};
                DWORD_PTR length = 0;
                SendMessageTimeoutW(tip, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text),
                                    SMTO_NORMAL, 5000, &length);
                if (length && text != lastTip_) return lastTip_ = text;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return L"";
    }

    // Long before the tooltip would put the tip away by itself.
    bool WaitForNoTip() {
        const auto deadline = Clock::now() + std::chrono::seconds(1);
        while (Clock::now() < deadline) {
            if (!VisibleTip()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    std::wstring lastTip_;
};

}  // namespace torvane::e2e
