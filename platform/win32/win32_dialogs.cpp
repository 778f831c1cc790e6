#include "platform/win32/win32_dialogs.h"

#include "platform/win32/input_box.h"

namespace torvane {

int Win32Dialogs::ShowMessageBox(const std::wstring& prompt, int buttons,
                                 const std::wstring& title) {
    const UINT type = buttons == kButtonsYesNo ? MB_YESNO : MB_OK;
    return MessageBoxW(owner_.handle, prompt.c_str(), title.c_str(), type);
}

std::optional<std::wstring> Win32Dialogs::ShowInputBox(const std::wstring& prompt,
                                                       const std::wstring& title,
                                                       const std::wstring& defaultText) {
    return RunInputBox(owner_.handle, prompt, title, defaultText, owner_.font, owner_.dpi);
}

}  // namespace torvane
