#pragma once

#include "platform/dialog_services.h"
#include "platform/win32/owner_window.h"

namespace torvane {

// Message boxes and input boxes owned by the main window.
class Win32Dialogs : public DialogServices {
  public:
    explicit Win32Dialogs(const OwnerWindow& owner) : owner_(owner) {}
    int ShowMessageBox(const std::wstring& prompt, int buttons, const std::wstring& title) override;
    std::optional<std::wstring> ShowInputBox(const std::wstring& prompt, const std::wstring& title,
                                             const std::wstring& defaultText) override;
    int MessageBoxLineCapacity() override;

  private:
    const OwnerWindow& owner_;
};

// Open and save dialogs of comdlg32.
class Win32FileDialog : public FileDialog {
  public:
    explicit Win32FileDialog(const OwnerWindow& owner) : owner_(owner) {}

  protected:
    std::optional<std::wstring> Choose(const Request& request) override;

  private:
    const OwnerWindow& owner_;
};

}  // namespace torvane
