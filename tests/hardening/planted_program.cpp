// A stand-in for the registry editor, planted where a search for "regedit"
// might find it first. If it ever runs, it leaves a marker naming itself.
#include <windows.h>

int wmain() {
    wchar_t self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    HANDLE marker = CreateFileW(L"C:\\torvane-planted-program-ran.txt", GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(marker, self, length * sizeof(wchar_t), &written, nullptr);
    CloseHandle(marker);
    return 0;
}
