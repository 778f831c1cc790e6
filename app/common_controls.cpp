#include "app/common_controls.h"

namespace torvane {
namespace {

template <typename Function>
Function Find(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

CommonControls Load() {
    CommonControls functions;
    HMODULE module = LoadLibraryW(L"comctl32.dll");  // kept for the whole run
    if (!module) return functions;
    functions.initCommonControlsEx =
        Find<decltype(&InitCommonControlsEx)>(module, "InitCommonControlsEx");
    functions.imageListCreate = Find<decltype(&ImageList_Create)>(module, "ImageList_Create");
    functions.imageListAddMasked =
        Find<decltype(&ImageList_AddMasked)>(module, "ImageList_AddMasked");
    functions.imageListDestroy = Find<decltype(&ImageList_Destroy)>(module, "ImageList_Destroy");
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
