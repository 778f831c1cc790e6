#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <type_traits>

// comctl32 is not one of the DLLs that Windows always takes from the system
// folder, so it is not imported: it is loaded by name once DLL loading has been
// restricted to the system folder, and the manifest makes that version 6.
namespace torvane {

struct CommonControls {
    decltype(&InitCommonControlsEx) initCommonControlsEx = nullptr;
    decltype(&ImageList_Create) imageListCreate = nullptr;
    decltype(&ImageList_AddMasked) imageListAddMasked = nullptr;
    decltype(&ImageList_Destroy) imageListDestroy = nullptr;
    bool loaded() const {
        return initCommonControlsEx && imageListCreate && imageListAddMasked && imageListDestroy;
    }
};

// Loads the theming DLL and comctl32 from the system folder on first use, and
// registers the list-view and standard classes.
const CommonControls& Comctl();

struct ImageListDestroyer {
    void operator()(HIMAGELIST list) const { Comctl().imageListDestroy(list); }
};
using UniqueImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDestroyer>;

}  // namespace torvane
