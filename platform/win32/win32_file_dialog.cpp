#include <windows.h>

#include <commdlg.h>

#include <vector>

#include "platform/win32/com_apartment.h"
#include "platform/win32/process_paths.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_dialogs.h"

namespace torvane {

std::optional<std::wstring> Win32FileDialog::Choose(const Request& request) {
    // Room for the longest path the shell can hand back.
    std::vector<wchar_t> buffer(32768, L'\0');
    request.initialName.copy(buffer.data(),
                             std::min(request.initialName.size(), buffer.size() - 1));
    const std::wstring filter = FilterToDoubleNulList(request.filter);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_.handle;
    dialog.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrDefExt =
        request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING;
    if (request.save) dialog.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;

    using FileDialogFunction = BOOL(WINAPI*)(OPENFILENAMEW*);
    static const auto getSaveFileName =
        SystemFunction<FileDialogFunction>(L"comdlg32.dll", "GetSaveFileNameW");
    static const auto getOpenFileName =
        SystemFunction<FileDialogFunction>(L"comdlg32.dll", "GetOpenFileNameW");
    const auto show = request.save ? getSaveFileName : getOpenFileName;
    if (!show) return std::nullopt;
    EnsureComApartment();  // the dialog browses the shell's namespace
    // Every path we use is full, and the current folder must stay where it was.
    CurrentFolderKeeper keepFolder;
    if (!show(&dialog)) return std::nullopt;
    return std::wstring(buffer.data());
}

}  // namespace torvane
