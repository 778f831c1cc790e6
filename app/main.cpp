// Start-up: the services, the one window, and the message loop.
#include <windows.h>

#include <commctrl.h>

#include "app/common_controls.h"
#include "app/form1.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_elevation.h"
#include "platform/win32/win32_record_store.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_setting_broadcast.h"
#include "platform/win32/win32_shell.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // A portable exe is often run from Downloads: load DLLs from the system
    // folder only, so none planted beside it can be picked up.
    torvane::RestrictDllSearch();

    if (!torvane::Comctl().loaded()) return 1;

    torvane::OwnerWindow owner;
    torvane::Win32Registry registry;
    torvane::Win32Dialogs dialogs(owner);
    torvane::Win32FileDialog commonDialog1(owner);
    torvane::Win32FileDialog commonDialog2(owner);
    torvane::Win32FileDialog exportDialog(owner);  // a third, for exported changes
    torvane::Win32Shell shell(owner);
    torvane::Win32Elevation elevation(owner);
    torvane::Win32RecordStore originals;  // found and read only when first needed
    torvane::Win32SettingBroadcast settingBroadcast;
    torvane::TweakContext context{registry, dialogs,   commonDialog1, commonDialog2,
                                  shell,    elevation, &originals,    &settingBroadcast};

    int exitCode = 1;
    {
        torvane::Form1 form(instance, owner, context, exportDialog);
        if (form.Show(showCommand)) {
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                // Ctrl+Tab switches categories; the dialog keys would take it for Tab.
                if (form.HandleCategoryKey(message)) continue;
                // Tab between the list and the buttons as in a dialog.
                if (form.handle() && IsDialogMessageW(form.handle(), &message)) continue;
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            exitCode = static_cast<int>(message.wParam);
        }
    }
    return exitCode;
}
