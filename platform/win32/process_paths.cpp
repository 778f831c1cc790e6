#include "platform/win32/process_paths.h"

#include <windows.h>

namespace torvane {

std::wstring OwnExePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

std::wstring CurrentFolder() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return L"";
    std::wstring folder(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, folder.data());
    folder.resize(length < size ? length : 0);
    return folder;
}

CurrentFolderKeeper::~CurrentFolderKeeper() {
    if (!saved_.empty()) SetCurrentDirectoryW(saved_.c_str());
}

}  // namespace torvane
