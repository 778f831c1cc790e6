// The control case: loads the DLL named on its command line (uxtheme.dll when
// none is) with the default search order, as a program that does not restrict
// DLL loading would.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    HMODULE module = LoadLibraryW(argc > 1 ? argv[1] : L"uxtheme.dll");
    if (module) FreeLibrary(module);
    return 0;
}
