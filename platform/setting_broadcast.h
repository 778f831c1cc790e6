#pragma once

#include <string>

// Telling the programs that run now that a system setting has changed, so
// that they read it again instead of going on with a copy they keep.
namespace torvane {

// The area of WM_SETTINGCHANGE for the regional settings under
// HKEY_CURRENT_USER\Control Panel\International.
inline constexpr const wchar_t* kInternationalArea = L"intl";

class SettingBroadcast {
  public:
    virtual ~SettingBroadcast() = default;
    // Returns once every top-level window has taken the notice, or has had a
    // short while to; a window that does not answer is passed over.
    virtual void SettingChanged(const std::wstring& area) = 0;
};

}  // namespace torvane
