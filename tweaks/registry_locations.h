#pragma once

#include "platform/registry_access.h"

// Every key the tasks write, spelled exactly as Windows documents them.
namespace torvane {

struct RegistryLocation {
    RegistryRoot root;
    const wchar_t* path;
};

inline constexpr RegistryLocation kSystemPolicies{
    RegistryRoot::CurrentUser, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System"};
inline constexpr RegistryLocation kExplorerPolicies{
    RegistryRoot::CurrentUser, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer"};
inline constexpr RegistryLocation kAlwaysUnloadDll{
    RegistryRoot::LocalMachine,
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL"};
inline constexpr RegistryLocation kFileSystem{RegistryRoot::LocalMachine,
                                              L"SYSTEM\\CurrentControlSet\\Control\\FileSystem"};
inline constexpr RegistryLocation kLanmanServerParameters{
    RegistryRoot::LocalMachine, L"SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters"};
inline constexpr RegistryLocation kWindowMetrics{RegistryRoot::CurrentUser,
                                                 L"Control Panel\\Desktop\\WindowMetrics"};
inline constexpr RegistryLocation kDefaultUserDesktop{RegistryRoot::Users,
                                                      L".DEFAULT\\Control Panel\\Desktop"};
inline constexpr RegistryLocation kInternational{RegistryRoot::CurrentUser,
                                                 L"Control Panel\\International"};

// Read by the task tips, never written: the machine-wide copy of the user's
// policy, and the signed-in user's own desktop settings beside the default
// profile's.
inline constexpr RegistryLocation kMachineSystemPolicies{RegistryRoot::LocalMachine,
                                                         kSystemPolicies.path};
inline constexpr RegistryLocation kUserDesktop{RegistryRoot::CurrentUser,
                                               L"Control Panel\\Desktop"};

namespace value_names {
inline constexpr const wchar_t* kDisableRegistryTools = L"DisableRegistryTools";
inline constexpr const wchar_t* kNoDesktop = L"NoDesktop";
inline constexpr const wchar_t* kDefaultValue = L"";
inline constexpr const wchar_t* kConfigFileAllocsize = L"ConfigFileAllocsize";
inline constexpr const wchar_t* kDiskSpaceThreshold = L"DiskSpaceThreshold";
inline constexpr const wchar_t* kShellIconSize = L"Shell Icon Size";
inline constexpr const wchar_t* kWaitToKillAppTimeout = L"WaitToKillAppTimeout";
inline constexpr const wchar_t* kWallpaper = L"Wallpaper";
inline constexpr const wchar_t* kWallpaperStyle = L"Wallpaperstyle";
inline constexpr const wchar_t* kTimeFormat = L"sTimeFormat";
inline constexpr const wchar_t* kMorningMarker = L"s1159";
inline constexpr const wchar_t* kAfternoonMarker = L"s2359";
}  // namespace value_names

}  // namespace torvane
