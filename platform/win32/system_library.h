#pragma once

#include <windows.h>

// DLLs of the system folder, loaded on first use. DLLs that are not always
// taken from the system folder are reached this way instead of through the
// import table, which the loader resolves before any of our code can restrict
// where DLLs come from.
namespace torvane {

// How the loader can be told where a DLL's own imports come from.
enum class DllSearch {
    // LOAD_LIBRARY_SEARCH_SYSTEM32: the system folder only. Windows 8 and later,
    // and Windows 7 with update KB2533623.
    SystemFolderOnly,
    // LOAD_WITH_ALTERED_SEARCH_PATH: the DLL's own folder first instead of ours.
    // Every Windows has it.
    AlteredSearchPath,
};

// What this system's loader offers.
DllSearch AvailableDllSearch();

// Keeps DLLs out of our own and the current folder for the rest of the run;
// the first thing the program does.
void RestrictDllSearch();

// The named DLL of the system folder, loaded by its full path there, so that
// no copy in our folder or the current folder can stand in for it. Not for
// comctl32, whose version 6 lives outside the system folder (see
// app/common_controls.cpp). Safe to call before the stack canary is seeded.
HMODULE LoadSystemLibrary(const wchar_t* name, DllSearch search = AvailableDllSearch());

// A function of a module already in hand, or null when there is none.
template <typename Function>
Function ModuleFunction(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

template <typename Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
    // The DLL stays loaded for the whole run.
    return ModuleFunction<Function>(LoadSystemLibrary(dll), name);
}

}  // namespace torvane
