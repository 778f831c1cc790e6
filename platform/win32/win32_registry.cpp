#include "platform/win32/win32_registry.h"

#include <windows.h>

#include "platform/win32/unique_handles.h"

namespace torvane {
namespace {

HKEY RootHandle(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegistryRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegistryRoot::Users:
            return HKEY_USERS;
    }
    return nullptr;
}

class Win32RegistryKey : public RegistryKey {
  public:
    explicit Win32RegistryKey(UniqueHkey key) : key_(std::move(key)) {}

    ErrorCode SetDword(const std::wstring& name, std::uint32_t value) override {
        const DWORD data = value;
        return RegSetValueExW(key_.get(), name.c_str(), 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&data), sizeof data);
    }

    ErrorCode SetString(const std::wstring& name, const std::wstring& text) override {
        // The size counts the terminating NUL, which c_str() supplies.
        const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
        return RegSetValueExW(key_.get(), name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    }

    ErrorCode DeleteValue(const std::wstring& name) override {
        return RegDeleteValueW(key_.get(), name.c_str());
    }

  private:
    UniqueHkey key_;
};

}  // namespace

OpenedKey Win32Registry::CreateKey(RegistryRoot root, const std::wstring& path) {
    HKEY raw = nullptr;
    // Setting and deleting values is all the tasks do, so that is all we ask
    // for. The 64-bit view always: a 32-bit build must change the keys Windows
    // reads, not their copies under WOW6432Node (the flag is ignored on 32-bit
    // Windows).
    const LSTATUS status =
        RegCreateKeyExW(RootHandle(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &raw, nullptr);
    if (status != ERROR_SUCCESS) return {nullptr, static_cast<ErrorCode>(status)};
    return {std::make_unique<Win32RegistryKey>(UniqueHkey(raw)), kSuccess};
}

}  // namespace torvane
