#include "app/common_controls.h"

#include "platform/win32/system_library.h"

namespace torvane {
namespace {

CommonControls Load() {
    CommonControls functions;
    // The theming DLL comes first and by the system folder: the window code
    // loads it later by bare name, and a loader that resolves such a load along
    // the old search path must find it already there, not in our own folder.
    LoadLibraryExW(L"uxtheme.dll", nullptr,
                   LOAD_LIBRARY_SEARCH_SYSTEM32);  // kept for the whole run
    // Version 6 comes through the manifest; the flag keeps its imports in the
    // system folder too.
    HMODULE module = LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
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
