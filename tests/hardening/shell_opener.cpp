// The control case for a planted opener: hands the file named on the command
// line to the shell's "open" the way a program without any check would.
#include <windows.h>

#include <shellapi.h>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", argv[1], nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32 ? 0 : 1;
}
