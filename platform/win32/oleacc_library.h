#pragma once

#include <windows.h>

#include <oleacc.h>

// Active Accessibility, for screen readers. oleacc.dll is not one of the DLLs
// Windows always takes from the system folder, and nothing needs it until a
// client asks a window for its accessible object: it is loaded from the system
// folder then, with oleaut32.dll for the strings.
namespace torvane {

// IAccessible's interface id, written out here: the one in mingw's import
// libraries is another.
inline constexpr IID kAccessibleIid = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

struct AccessibilityFunctions {
    decltype(&CreateStdAccessibleObject) createStdAccessibleObject = nullptr;
    decltype(&LresultFromObject) lresultFromObject = nullptr;
    decltype(&SysAllocString) sysAllocString = nullptr;
    bool loaded() const { return createStdAccessibleObject && lresultFromObject && sysAllocString; }
};

// Loads both DLLs the first time; the user-interface thread's alone.
const AccessibilityFunctions& Accessibility();

}  // namespace torvane
