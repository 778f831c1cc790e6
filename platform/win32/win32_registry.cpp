#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <winternl.h>

#include "platform/win32/system_library.h"
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

bool IsStringKind(std::uint32_t kind) {
    return kind == REG_SZ || kind == REG_EXPAND_SZ || kind == REG_MULTI_SZ;
}

// RegSetValueExW "helps" with the string kinds: when the data does not end in
// a NUL but the character after it is one, it stores one character more, and
// for one byte of data it looks outside the buffer altogether. The native call
// beneath it stores exactly the bytes it is given. ntdll is in every process,
// so nothing is loaded for it.
ErrorCode SetExactString(HKEY key, const std::wstring& name, const RegistryValue& value) {
    using NtSetValueKeyFunction = LONG(NTAPI*)(HANDLE, UNICODE_STRING*, ULONG, ULONG, void*, ULONG);
    using ToDosErrorFunction = ULONG(NTAPI*)(LONG);
    static const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    static const auto setValueKey = ModuleFunction<NtSetValueKeyFunction>(ntdll, "NtSetValueKey");
    static const auto toDosError =
        ModuleFunction<ToDosErrorFunction>(ntdll, "RtlNtStatusToDosError");
    if (!setValueKey || !toDosError) return ERROR_PROC_NOT_FOUND;
    constexpr size_t kLongestName = 16383;  // the registry's own limit, in characters
    if (name.size() > kLongestName) return ERROR_INVALID_PARAMETER;
    UNICODE_STRING ntName{};
    ntName.Buffer = const_cast<wchar_t*>(name.c_str());
    ntName.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    ntName.MaximumLength = ntName.Length;
    std::vector<std::uint8_t> data = value.bytes;  // the call takes a non-const pointer
    return toDosError(setValueKey(key, &ntName, 0, value.kind, data.empty() ? nullptr : data.data(),
                                  static_cast<ULONG>(data.size())));
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

    ErrorCode SetValue(const std::wstring& name, const RegistryValue& value) override {
        if (IsStringKind(value.kind)) return SetExactString(key_.get(), name, value);
        return RegSetValueExW(key_.get(), name.c_str(), 0, value.kind,
                              value.bytes.empty() ? nullptr : value.bytes.data(),
                              static_cast<DWORD>(value.bytes.size()));
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

OpenedKey Win32Registry::OpenKey(RegistryRoot root, const std::wstring& path) {
    HKEY raw = nullptr;
    const LSTATUS status =
        RegOpenKeyExW(RootHandle(root), path.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &raw);
    if (status != ERROR_SUCCESS) return {nullptr, static_cast<ErrorCode>(status)};
    return {std::make_unique<Win32RegistryKey>(UniqueHkey(raw)), kSuccess};
}

ReadResult Win32Registry::ReadValue(RegistryRoot root, const std::wstring& path,
                                    const std::wstring& name) {
    HKEY raw = nullptr;
    // Query rights only, and an open rather than a create: a tip must never
    // leave a key behind that was not there.
    LSTATUS status =
        RegOpenKeyExW(RootHandle(root), path.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &raw);
    if (status != ERROR_SUCCESS) return {static_cast<ErrorCode>(status), 0, {}};
    const UniqueHkey key(raw);
    ReadResult result;
    DWORD size = 0;
    status = RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, nullptr, &size);
    // Another program may make the value longer between the two calls.
    for (int attempt = 0; status == ERROR_SUCCESS || status == ERROR_MORE_DATA; ++attempt) {
        result.bytes.resize(size);
        DWORD kind = 0;
        status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &kind,
                                  result.bytes.empty() ? nullptr : result.bytes.data(), &size);
        if (status == ERROR_SUCCESS) {
            result.kind = kind;
            result.bytes.resize(size);
            return result;
        }
        if (attempt == 4) break;
    }
    return {static_cast<ErrorCode>(status), 0, {}};
}

}  // namespace torvane
