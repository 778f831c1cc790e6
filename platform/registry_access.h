#pragma once

#include <cstdint>
#include <memory>
#include <string>

// The registry as the tweaks see it: three roots, two value kinds, and keys
// that are opened (created when missing) and closed again within one task.
namespace torvane {

enum class RegistryRoot { CurrentUser, LocalMachine, Users };

// "HKEY_CURRENT_USER" and so on, for messages that name a key in full.
std::wstring RootName(RegistryRoot root);

// Win32 error codes; the fakes return the same numbers as Windows does.
using ErrorCode = std::uint32_t;
constexpr ErrorCode kSuccess = 0;
constexpr ErrorCode kErrorFileNotFound = 2;
constexpr ErrorCode kErrorAccessDenied = 5;

// An open key. Destroying it closes it, so no handle can outlive its task.
class RegistryKey {
  public:
    virtual ~RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // A REG_DWORD: four bytes, little-endian.
    virtual ErrorCode SetDword(const std::wstring& valueName, std::uint32_t value) = 0;
    // A REG_SZ: the UTF-16 text with one terminating NUL. "" names the default value.
    virtual ErrorCode SetString(const std::wstring& valueName, const std::wstring& text) = 0;
    // kErrorFileNotFound when the value does not exist.
    virtual ErrorCode DeleteValue(const std::wstring& valueName) = 0;

  protected:
    RegistryKey() = default;
};

struct OpenedKey {
    std::unique_ptr<RegistryKey> key;  // null whenever error != kSuccess
    ErrorCode error = kSuccess;
};

class RegistryAccess {
  public:
    virtual ~RegistryAccess() = default;
    // Opens the key for writing, creating it and every missing parent first.
    virtual OpenedKey CreateKey(RegistryRoot root, const std::wstring& path) = 0;
};

}  // namespace torvane
