#include "platform/registry_access.h"

namespace torvane {

std::wstring RootName(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::CurrentUser:
            return L"HKEY_CURRENT_USER";
        case RegistryRoot::LocalMachine:
            return L"HKEY_LOCAL_MACHINE";
        case RegistryRoot::Users:
            return L"HKEY_USERS";
    }
    return L"";
}

RegistryValue DwordValue(std::uint32_t value) {
    return {kRegDword,
            {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
             static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)}};
}

RegistryValue StringValue(const std::wstring& text) {
    RegistryValue stored{kRegSz, {}};
    AppendUtf16(stored.bytes, {text.c_str(), text.size() + 1});  // with its NUL
    return stored;
}

void AppendUtf16(std::vector<std::uint8_t>& bytes, std::wstring_view text) {
    const auto putUnit = [&bytes](std::uint32_t unit) {
        bytes.push_back(static_cast<std::uint8_t>(unit));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    };
    for (wchar_t c : text) {
        auto unit = static_cast<std::uint32_t>(c);
        if constexpr (sizeof(wchar_t) > 2) {
            if (unit > 0x10FFFF) unit = 0xFFFD;
            if (unit > 0xFFFF) {
                putUnit(0xD800 + ((unit - 0x10000) >> 10));
                unit = 0xDC00 + ((unit - 0x10000) & 0x3FF);
            }
        }
        putUnit(unit);
    }
}

bool SameRegistryName(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](wchar_t c) { return c >= L'a' && c <= L'z' ? c - (L'a' - L'A') : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

}  // namespace torvane
