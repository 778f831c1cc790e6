#include "platform/win32/current_folder.h"

#include <windows.h>

namespace torvane {

CurrentFolderKeeper::CurrentFolderKeeper() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return;
    saved_.resize(size);
    const DWORD length = GetCurrentDirectoryW(size, saved_.data());
    saved_.resize(length < size ? length : 0);
}

CurrentFolderKeeper::~CurrentFolderKeeper() {
    if (!saved_.empty()) SetCurrentDirectoryW(saved_.c_str());
}

}  // namespace torvane
