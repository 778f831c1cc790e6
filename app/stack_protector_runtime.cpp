// The stack canary and the failure paths that -fstack-protector-strong and
// _FORTIFY_SOURCE call. GCC's own runtime for them seeds the canary through
// the CryptoAPI, which loads crypt32, bcrypt and an RSA provider before the
// first line of wWinMain (a few milliseconds of every start under Wine); the
// system's preferred generator gives the same quality directly.
#include <windows.h>

#include <bcrypt.h>

#include <cstdint>

#include "platform/win32/system_library.h"

extern "C" {

// Never zero even before seeding, so a check can never pass against an
// all-zero stack slot.
std::uintptr_t __stack_chk_guard = 0x2B992DDFA232u;

// Seeding changes the canary, so no protected function may be on the stack
// yet: the first user constructor runs straight from the C runtime's start-up.
__attribute__((constructor(101), no_stack_protector)) static void SeedStackGuard() {
    std::uintptr_t canary = 0;
    // bcrypt.dll by its full path in the system folder: nothing has restricted
    // the DLL search yet at this point.
    if (HMODULE bcrypt = torvane::LoadSystemLibrary(L"bcrypt.dll")) {
        const auto genRandom =
            torvane::ModuleFunction<decltype(&BCryptGenRandom)>(bcrypt, "BCryptGenRandom");
        if (genRandom && genRandom(nullptr, reinterpret_cast<UCHAR*>(&canary), sizeof canary,
                                   BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) {
            canary = 0;
        }
        FreeLibrary(bcrypt);
    }
    if (canary == 0) {
        // No generator: mix what differs between runs and processes, as the
        // classic /GS cookie does.
        LARGE_INTEGER counter{};
        QueryPerformanceCounter(&counter);
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        canary = static_cast<std::uintptr_t>(counter.QuadPart) ^
                 (static_cast<std::uintptr_t>(now.dwHighDateTime) << 32) ^ now.dwLowDateTime ^
                 (static_cast<std::uintptr_t>(GetCurrentProcessId()) << 16) ^ GetCurrentThreadId() ^
                 GetTickCount64() ^ reinterpret_cast<std::uintptr_t>(&canary);
    }
    if (canary != 0) __stack_chk_guard = canary;
}

// A smashed stack or an overflowing checked copy ends the process at once:
// no handler, no unwinding, nothing that could run on corrupted state.
[[noreturn]] static void FailFast(unsigned code) {
    if (IsProcessorFeaturePresent(PF_FASTFAIL_AVAILABLE)) {
        asm volatile("int $0x29" : : "c"(code) : "memory");
    }
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    __builtin_unreachable();
}

[[noreturn]] void __stack_chk_fail() {
    FailFast(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE);
}

[[noreturn]] void __chk_fail() {
    FailFast(FAST_FAIL_RANGE_CHECK_FAILURE);
}

}  // extern "C"
