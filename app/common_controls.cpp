#include "app/common_controls.h"

#include "platform/win32/system_library.h"

namespace torvane {
namespace {

CommonControls Load() {
    CommonControls functions;
    // The theming DLL comes first and from the system folder: the window code
    // loads it later by bare name, and a loader that resolves such a load along
    // the old search path must find it already there, not in our own folder.
    LoadSystemLibrary(L"uxtheme.dll");  // kept for the whole run
    // comctl32 alone goes by bare name: version 6, which the manifest asks
    // for, lives in WinSxS, and the loader redirects there only a name given
    // without a path; the system folder's full path would give version 5
    // (https://learn.microsoft.com/windows/win32/api/libloaderapi/nf-libloaderapi-loadlibraryexw).
    // That redirection comes before any folder is searched
    // (https://learn.microsoft.com/windows/win32/dlls/dynamic-link-library-search-order),
    // so a planted copy cannot win. The flag, where the loader has it, keeps
    // the DLL's imports in the system folder too; without it the restricted
    // default search applies.
    HMODULE module = LoadLibraryExW(
        L"comctl32.dll", nullptr,
        AvailableDllSearch() == DllSearch::SystemFolderOnly ? LOAD_LIBRARY_SEARCH_SYSTEM32 : 0);
    if (!module) return functions;
    functions.initCommonControlsEx =
        ModuleFunction<decltype(&InitCommonControlsEx)>(module, "InitCommonControlsEx");
    functions.imageListCreate =
        ModuleFunction<decltype(&ImageList_Create)>(module, "ImageList_Create");
    functions.imageListAddMasked =
        ModuleFunction<decltype(&ImageList_AddMasked)>(module, "ImageList_AddMasked");
    functions.imageListDestroy =
        ModuleFunction<decltype(&ImageList_Destroy)>(module, "ImageList_Destroy");
    if (functions.initCommonControlsEx) {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        functions.initCommonControlsEx(&classes);
    }
    return functions;
}

}  // namespace

const CommonControls& Comctl() {
    static const CommonControls functions = Load();
    return functions;
}

}  // namespace torvane
