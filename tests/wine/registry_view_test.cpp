// A 32-bit build of the registry adapter must write the keys Windows reads, not WOW64's.
#include <windows.h>

#include <gtest/gtest.h>
#include <string>

#include "platform/win32/win32_registry.h"

namespace torvane {
namespace {

// Redirects one function that this exe imports, for as long as it lives.
class ImportHook {
  public:
    ImportHook(const char* dll, const char* name, void* replacement) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const auto& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        const auto target =
            reinterpret_cast<ULONG_PTR>(GetProcAddress(GetModuleHandleA(dll), name));
        auto* descriptor =
            reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
        for (; descriptor->Name && !slot_; ++descriptor) {
            auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
            for (; thunk->u1.Function; ++thunk) {
                if (thunk->u1.Function == target) {
                    slot_ = &thunk->u1.Function;
                    break;
                }
            }
        }
        if (!slot_) return;
        original_ = *slot_;
        Write(reinterpret_cast<ULONG_PTR>(replacement));
    }
    ~ImportHook() {
        if (slot_) Write(original_);
    }
    bool installed() const { return slot_ != nullptr; }

  private:
    void Write(ULONG_PTR value) {
        DWORD protection = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, protection, &protection);
    }
    ULONG_PTR* slot_ = nullptr;
    ULONG_PTR original_ = 0;
};

// What WOW64 does for a 32-bit process: a key opened without naming a view is
// opened in the 32-bit one, where HKLM\SOFTWARE is WOW6432Node.
REGSAM As32BitProcess(REGSAM access) {
    return access & (KEY_WOW64_32KEY | KEY_WOW64_64KEY) ? access : access | KEY_WOW64_32KEY;
}
LSTATUS WINAPI CreateAs32Bit(HKEY root, LPCWSTR path, DWORD reserved, LPWSTR kind, DWORD options,
                             REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY key,
                             LPDWORD disposition) {
    static const auto create = reinterpret_cast<decltype(&RegCreateKeyExW)>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"advapi32.dll"), "RegCreateKeyExW")));
    return create(root, path, reserved, kind, options, As32BitProcess(access), security, key,
                  disposition);
}
LSTATUS WINAPI OpenAs32Bit(HKEY root, LPCWSTR path, DWORD options, REGSAM access, PHKEY key) {
    static const auto open = reinterpret_cast<decltype(&RegOpenKeyExW)>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"advapi32.dll"), "RegOpenKeyExW")));
    return open(root, path, options, As32BitProcess(access), key);
}

bool KeyInView(const std::wstring& path, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

TEST(Win32RegistryView, A32BitBuildReachesTheKeysWindowsReads) {
    const std::wstring path = L"SOFTWARE\\Torvane Contract View";
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), view, 0);
    {
        // This 64-bit test stands in for a 32-bit build of the adapter.
        ImportHook create("advapi32.dll", "RegCreateKeyExW",
                          reinterpret_cast<void*>(&CreateAs32Bit));
        ImportHook open("advapi32.dll", "RegOpenKeyExW", reinterpret_cast<void*>(&OpenAs32Bit));
        ASSERT_TRUE(create.installed() && open.installed());
        Win32Registry registry;
        OpenedKey opened = registry.CreateKey(RegistryRoot::LocalMachine, path);
        ASSERT_TRUE(opened.key);
        EXPECT_EQ(opened.key->SetDword(L"View", 64), kSuccess);
        opened.key.reset();
        EXPECT_EQ(registry.ReadValue(RegistryRoot::LocalMachine, path, L"View").error, kSuccess);
    }
    EXPECT_TRUE(KeyInView(path, KEY_WOW64_64KEY));
    EXPECT_FALSE(KeyInView(path, KEY_WOW64_32KEY)) << "the key went under WOW6432Node";
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), view, 0);
}

}  // namespace
}  // namespace torvane
