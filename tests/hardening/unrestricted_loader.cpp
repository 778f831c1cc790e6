// The control case: loads uxtheme.dll by name with the default search order,
// as a program that does not restrict DLL loading would.
#include <windows.h>

int main() {
    HMODULE module = LoadLibraryW(L"uxtheme.dll");
    if (module) FreeLibrary(module);
    return 0;
}
