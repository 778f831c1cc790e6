#pragma once

#include <windows.h>

// A function of a DLL in the system folder, loaded on first use. DLLs that are
// not always taken from the system folder are reached this way instead of
// through the import table, which the loader resolves before any of our code
// can restrict where DLLs come from.
namespace torvane {

template <typename Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
    HMODULE module =
        LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);  // kept for the run
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace torvane
