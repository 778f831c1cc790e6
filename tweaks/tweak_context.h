#pragma once

#include "platform/dialog_services.h"
#include "platform/elevation.h"
#include "platform/record_store.h"
#include "platform/registry_access.h"
#include "platform/setting_broadcast.h"

namespace torvane {

// The world as a task sees it. Tasks take no user data; everything they learn
// comes through these services during the run.
struct TweakContext {
    RegistryAccess& registry;
    DialogServices& dialogs;
    FileDialog& commonDialog1;  // registry files (*.reg)
    FileDialog& commonDialog2;  // wallpaper pictures (*.bmp)
    ShellServices& shell;
    Elevation& elevation;
    // Where the originals of changed values are kept; none when a run must
    // record nothing (an export, which changes nothing).
    RecordStore* originals = nullptr;
    // Tells the running programs of a changed setting; none when the run
    // changes nothing (an export), so that nobody re-reads an unchanged one.
    SettingBroadcast* settingBroadcast = nullptr;
};

}  // namespace torvane
