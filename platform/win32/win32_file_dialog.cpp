#include <windows.h>

#include <commdlg.h>

#include <vector>

#include "platform/win32/com_apartment.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_dialogs.h"

namespace torvane {

void Win32FileDialog::Show(bool save) {
    // A cancel must never leave an earlier choice behind to act on.
    fileName_.clear();

    // Room for the longest path the shell can hand back.
    std::vector<wchar_t> buffer(32768, L'\0');
    lastChoice_.copy(buffer.data(), std::min(lastChoice_.size(), buffer.size() - 1));
    const std::wstring filter = FilterToDoubleNulList(filter_);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_.handle;
    dialog.lpstrFilter = filter_.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    // The process's current folder stays where it was; every path we use is full.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING;
    if (save) dialog.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;

    using FileDialogFunction = BOOL(WINAPI*)(OPENFILENAMEW*);
    static const auto getSaveFileName =
        SystemFunction<FileDialogFunction>(L"comdlg32.dll", "GetSaveFileNameW");
    static const auto getOpenFileName =
        SystemFunction<FileDialogFunction>(L"comdlg32.dll", "GetOpenFileNameW");
    const auto show = save ? getSaveFileName : getOpenFileName;
    if (!show) return;
    EnsureComApartment();  // the dialog browses the shell's namespace
    const BOOL chosen = show(&dialog);
    if (!chosen) return;
    fileName_ = buffer.data();
    lastChoice_ = fileName_;
}

}  // namespace torvane
