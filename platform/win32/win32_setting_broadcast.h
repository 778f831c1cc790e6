#pragma once

#include "platform/setting_broadcast.h"

namespace torvane {

// WM_SETTINGCHANGE to every top-level window, through SendMessageTimeoutW.
class Win32SettingBroadcast : public SettingBroadcast {
  public:
    void SettingChanged(const std::wstring& area) override;
};

}  // namespace torvane
