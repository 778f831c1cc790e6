#include "platform/win32/system_library.h"

#include <cwchar>

// LoadSystemLibrary runs in the constructor that seeds the stack canary, before
// the canary has its real value; what it calls must not check the canary.
#if defined(__GNUC__)
#define TORVANE_NO_STACK_PROTECTOR __attribute__((no_stack_protector))
#else
#define TORVANE_NO_STACK_PROTECTOR
#endif

namespace torvane {
namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// Windows 8 has it, Windows 7 only with update KB2533623. Imported, it would
// keep the program from starting at all on a Windows 7 without the update; the
// reference says to look it up in kernel32 instead
// (https://learn.microsoft.com/windows/win32/api/libloaderapi/nf-libloaderapi-setdefaultdlldirectories).
TORVANE_NO_STACK_PROTECTOR SetDefaultDllDirectoriesFunction FindSetDefaultDllDirectories() {
    return ModuleFunction<SetDefaultDllDirectoriesFunction>(GetModuleHandleW(L"kernel32.dll"),
                                                            "SetDefaultDllDirectories");
}

}  // namespace

// The LOAD_LIBRARY_SEARCH_* flags came with the same update as
// SetDefaultDllDirectories, and LoadLibraryExW's reference names finding that
// function as the test for them
// (https://learn.microsoft.com/windows/win32/api/libloaderapi/nf-libloaderapi-loadlibraryexw).
TORVANE_NO_STACK_PROTECTOR DllSearch AvailableDllSearch() {
    return FindSetDefaultDllDirectories() ? DllSearch::SystemFolderOnly
                                          : DllSearch::AlteredSearchPath;
}

void RestrictDllSearch() {
    const auto setDefaultDllDirectories = FindSetDefaultDllDirectories();
    if (!setDefaultDllDirectories || !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        // Without the update nothing documented takes our own folder out of a
        // load by name; an empty DLL directory at least takes out the current
        // folder
        // (https://learn.microsoft.com/windows/win32/api/winbase/nf-winbase-setdlldirectoryw). Our
        // own loads name the system folder in full, so this guards the loads that system DLLs make
        // by name.
        SetDllDirectoryW(L"");
    }
    // SearchPath, which shell functions use to find files, looks in the
    // current folder last, for good (Windows 7 and later:
    // https://learn.microsoft.com/windows/win32/api/winbase/nf-winbase-setsearchpathmode).
    SetSearchPathMode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT);
}

TORVANE_NO_STACK_PROTECTOR HMODULE LoadSystemLibrary(const wchar_t* name, DllSearch search) {
    wchar_t path[MAX_PATH];
    const UINT folderLength = GetSystemDirectoryW(path, MAX_PATH);
    const size_t nameLength = std::wcslen(name);
    if (folderLength == 0 || folderLength + 1 + nameLength >= MAX_PATH) return nullptr;
    path[folderLength] = L'\\';
    std::wmemcpy(path + folderLength + 1, name, nameLength + 1);
    // A full path is the only place searched for the DLL itself; the flag
    // decides where its imports come from. LOAD_WITH_ALTERED_SEARCH_PATH looks
    // for them in the DLL's own folder, here the system folder, before the
    // folder our program came from
    // (https://learn.microsoft.com/windows/win32/api/libloaderapi/nf-libloaderapi-loadlibraryexw).
    return LoadLibraryExW(path, nullptr,
                          search == DllSearch::SystemFolderOnly ? LOAD_LIBRARY_SEARCH_SYSTEM32
                                                                : LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace torvane
