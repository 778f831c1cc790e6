#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The registry as the tweaks see it: three roots, two value kinds, and keys
// that are opened (created when missing) and closed again within one task.
// The task tips only read: a value's kind and data, never creating anything.
namespace torvane {

enum class RegistryRoot { CurrentUser, LocalMachine, Users };

// "HKEY_CURRENT_USER" and so on, for messages that name a key in full.
std::wstring RootName(RegistryRoot root);

// Key paths and value names compare without regard to letter case, as in
// Windows (here for the ASCII letters, which is all the program's own names use).
bool SameRegistryName(std::wstring_view a, std::wstring_view b);

// Win32 error codes; the fakes return the same numbers as Windows does.
using ErrorCode = std::uint32_t;
constexpr ErrorCode kSuccess = 0;
constexpr ErrorCode kErrorFileNotFound = 2;
constexpr ErrorCode kErrorAccessDenied = 5;

// Value kinds, with the numbers Windows gives them.
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

// A value exactly as Windows stores it: its kind and its bytes.
struct RegistryValue {
    std::uint32_t kind = 0;
    std::vector<std::uint8_t> bytes;
    bool operator==(const RegistryValue&) const = default;
};

// The bytes Windows stores for a REG_DWORD (four, little-endian) and for a
// REG_SZ (UTF-16LE with one terminating NUL).
RegistryValue DwordValue(std::uint32_t value);
RegistryValue StringValue(const std::wstring& text);

// Appends the text in UTF-16LE. Where wchar_t is wider than UTF-16, a
// character beyond the first plane goes out as its surrogate pair, and a
// number that is no character as U+FFFD.
void AppendUtf16(std::vector<std::uint8_t>& bytes, std::wstring_view text);

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
    // Any kind from its exact bytes, none added or dropped: how an original
    // that this program recorded is put back.
    virtual ErrorCode SetValue(const std::wstring& valueName, const RegistryValue& value) = 0;
    // kErrorFileNotFound when the value does not exist.
    virtual ErrorCode DeleteValue(const std::wstring& valueName) = 0;

  protected:
    RegistryKey() = default;
};

struct OpenedKey {
    std::unique_ptr<RegistryKey> key;  // null whenever error != kSuccess
    ErrorCode error = kSuccess;
};

// What a read found. error is kErrorFileNotFound when the key or the value is
// absent; kind and bytes are set only on kSuccess.
struct ReadResult {
    ErrorCode error = kSuccess;
    std::uint32_t kind = 0;
    std::vector<std::uint8_t> bytes;  // exactly as RegQueryValueEx returns them
};

class RegistryAccess {
  public:
    virtual ~RegistryAccess() = default;
    // Opens the key for writing, creating it and every missing parent first.
    virtual OpenedKey CreateKey(RegistryRoot root, const std::wstring& path) = 0;
    // Opens an existing key for writing; kErrorFileNotFound when it is missing,
    // which is then left missing. Putting an original back creates no key.
    virtual OpenedKey OpenKey(RegistryRoot root, const std::wstring& path) = 0;
    // Reads one value with query rights only; a missing key stays missing.
    virtual ReadResult ReadValue(RegistryRoot root, const std::wstring& path,
                                 const std::wstring& name) = 0;
};

}  // namespace torvane
