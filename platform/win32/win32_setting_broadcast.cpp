#include "platform/win32/win32_setting_broadcast.h"

#include <windows.h>

namespace torvane {
namespace {

// Each window may take this long, one after another: a long wait here would
// hold up the task that changed the setting by as much for every slow window.
constexpr UINT kMillisecondsPerWindow = 100;

}  // namespace

void Win32SettingBroadcast::SettingChanged(const std::wstring& area) {
    DWORD_PTR answer = 0;
    // The setting has changed whatever the windows answer: there is nothing to
    // report when one times out.
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(area.c_str()),
                        SMTO_ABORTIFHUNG, kMillisecondsPerWindow, &answer);
}

}  // namespace torvane
