#pragma once

#include <windows.h>

// A function of a DLL in the system folder, loaded on first use. DLLs that are
// not always taken from the system folder are reached this way instead of
// through the import table, which the loader resolves before any of our code
// can restrict where DLLs come from.
namespace torvane {

// A function of a module already in hand, or null when there is none.
template <typename Function>
Function ModuleFunction(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

template <typename Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
    // The DLL stays loaded for the whole run.
    return ModuleFunction<Function>(LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32),
                                    name);
}

}  // namespace torvane
