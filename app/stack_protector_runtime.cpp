// The stack canary and the failure paths that -fstack-protector-strong and
// _FORTIFY_SOURCE call. GCC's own runtime for them seeds the canary through
// the CryptoAPI, which loads crypt32, bcrypt and an RSA provider before the
// first line of wWinMain (a few milliseconds of every start under Wine); the
// system's generator gives the same quality with at most one DLL.
#include <windows.h>

#include <bcrypt.h>

#include <cstdint>
#include <cstring>

#include "platform/win32/system_library.h"

namespace {

// RtlGenRandom, exported as SystemFunction036
// (https://learn.microsoft.com/windows/win32/api/ntsecapi/nf-ntsecapi-rtlgenrandom).
using GenRandomFunction = BOOLEAN(WINAPI*)(PVOID, ULONG);
constexpr char kGenRandomName[] = "SystemFunction036";

// Whether the module's export of that name is code of its own rather than a
// forwarder: the loader resolves a forwarder by loading the DLL it names along
// the search path, which at this point still starts in our own folder. An
// export whose address lies inside the export directory is a forwarder
// (https://learn.microsoft.com/windows/win32/debug/pe-format#export-address-table).
__attribute__((no_stack_protector)) bool ExportsOwnCode(HMODULE module, const char* name) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress == 0) return false;
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    const auto* functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        if (std::strcmp(reinterpret_cast<const char*>(base + names[i]), name) != 0) continue;
        const DWORD address = functions[ordinals[i]];
        return address < directory.VirtualAddress ||
               address >= directory.VirtualAddress + directory.Size;
    }
    return false;
}

__attribute__((no_stack_protector)) bool GenRandom(GenRandomFunction genRandom,
                                                   std::uintptr_t& canary) {
    return genRandom && genRandom(&canary, sizeof canary) && canary != 0;
}

// The system's generator, from whichever DLL holds its code, without ever
// loading one from outside the system folder.
__attribute__((no_stack_protector)) std::uintptr_t SystemRandom() {
    std::uintptr_t canary = 0;
    // Windows 7 and later: the generator lives in cryptbase.dll, which
    // advapi32 forwards to; loaded here by its full path in the system folder.
    // It stays loaded, so that a later call through advapi32's forwarder
    // finds it already in the process.
    if (HMODULE cryptbase = torvane::LoadSystemLibrary(L"cryptbase.dll")) {
        if (GenRandom(torvane::ModuleFunction<GenRandomFunction>(cryptbase, kGenRandomName),
                      canary)) {
            return canary;
        }
    }
    // No cryptbase.dll in the system folder (Wine, say): advapi32, already
    // loaded, may hold the generator itself, and then calling it loads nothing.
    HMODULE advapi32 = GetModuleHandleW(L"advapi32.dll");
    if (advapi32 && ExportsOwnCode(advapi32, kGenRandomName) &&
        GenRandom(torvane::ModuleFunction<GenRandomFunction>(advapi32, kGenRandomName), canary)) {
        return canary;
    }
    // bcrypt.dll by its full path in the system folder.
    if (HMODULE bcrypt = torvane::LoadSystemLibrary(L"bcrypt.dll")) {
        const auto genRandom =
            torvane::ModuleFunction<decltype(&BCryptGenRandom)>(bcrypt, "BCryptGenRandom");
        if (!genRandom || genRandom(nullptr, reinterpret_cast<UCHAR*>(&canary), sizeof canary,
                                    BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) {
            canary = 0;
        }
        FreeLibrary(bcrypt);
    }
    return canary;
}

}  // namespace

extern "C" {

// Never zero even before seeding, so a check can never pass against an
// all-zero stack slot.
std::uintptr_t __stack_chk_guard = 0x2B992DDFA232u;

// Seeding changes the canary, so no protected function may be on the stack
// yet: the first user constructor runs straight from the C runtime's start-up.
__attribute__((constructor(101), no_stack_protector)) static void SeedStackGuard() {
    std::uintptr_t canary = SystemRandom();
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
