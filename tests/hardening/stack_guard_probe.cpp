// Built with the program's hardening flags and its stack-protector runtime, to
// show what that runtime does in a process of its own:
//   stack_guard_probe canary FILE   writes the canary, in hex, to FILE
//   stack_guard_probe smash         overruns a stack buffer and returns
//   stack_guard_probe copy          overruns a global buffer through a checked memcpy
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>

extern "C" std::uintptr_t __stack_chk_guard;

namespace {

// The length comes from outside, so the compiler cannot see the overrun coming.
volatile int overrunLength = 64;

__attribute__((noinline)) int SmashOwnFrame() {
    char buffer[16];
    char* volatile target = buffer;
    for (int i = 0; i < overrunLength; ++i) target[i] = 'A';
    return target[0];
}

// Not on the stack, so only the checked copy, not the canary, can catch it.
char copyTarget[16];
char copySource[64];

__attribute__((noinline)) int OverflowCheckedCopy() {
    std::memcpy(copyTarget, copySource, static_cast<size_t>(overrunLength));
    return copyTarget[0];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wcscmp(argv[1], L"canary") == 0) {
        FILE* out = _wfopen(argv[2], L"w");
        if (!out) return 2;
        std::fprintf(out, "%llx", static_cast<unsigned long long>(__stack_chk_guard));
        std::fclose(out);
        return 0;
    }
    if (argc == 2 && std::wcscmp(argv[1], L"smash") == 0) return SmashOwnFrame() == 'A' ? 0 : 1;
    if (argc == 2 && std::wcscmp(argv[1], L"copy") == 0) return OverflowCheckedCopy();
    return 2;
}
