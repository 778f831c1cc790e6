#include "platform/win32/oleacc_library.h"

#include "platform/win32/system_library.h"

namespace torvane {

const AccessibilityFunctions& Accessibility() {
    static AccessibilityFunctions functions;
    static bool tried = false;
    if (!tried) {
        tried = true;
        const HMODULE oleacc = LoadSystemLibrary(L"oleacc.dll");
        functions.createStdAccessibleObject = ModuleFunction<decltype(&CreateStdAccessibleObject)>(
            oleacc, "CreateStdAccessibleObject");
        functions.lresultFromObject =
            ModuleFunction<decltype(&LresultFromObject)>(oleacc, "LresultFromObject");
        functions.sysAllocString =
            SystemFunction<decltype(&SysAllocString)>(L"oleaut32.dll", "SysAllocString");
    }
    return functions;
}

}  // namespace torvane
