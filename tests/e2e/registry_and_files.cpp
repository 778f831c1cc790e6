#include <thread>

#include "tests/e2e/app_driver.h"

namespace torvane::e2e {

std::optional<RawValue> ReadValue(HKEY root, const std::wstring& path, const std::wstring& name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    RawValue value{type, std::vector<std::uint8_t>(size)};
    if (RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type,
                     value.bytes.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.bytes.resize(size);
    return value;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void DeleteValue(HKEY root, const std::wstring& path, const std::wstring& name) {
    RegDeleteKeyValueW(root, path.c_str(), name.c_str());
}

void SetDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value) {
    RegSetKeyValueW(root, path.c_str(), name.c_str(), REG_DWORD, &value, sizeof value);
}

void SetString(HKEY root, const std::wstring& path, const std::wstring& name,
               const std::wstring& text) {
    RegSetKeyValueW(root, path.c_str(), name.c_str(), REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void PutValue(HKEY root, const std::wstring& path, const std::wstring& name,
              const RawValue& value) {
    RegSetKeyValueW(root, path.c_str(), name.c_str(), value.kind, value.bytes.data(),
                    static_cast<DWORD>(value.bytes.size()));
}

std::optional<RawValue> SettledValue(HKEY root, const std::wstring& path, const std::wstring& name,
                                     const std::optional<RawValue>& expected) {
    for (int i = 0; i < 100 && ReadValue(root, path, name) != expected; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return ReadValue(root, path, name);
}

std::optional<RawValue> WaitForValue(HKEY root, const std::wstring& path,
                                     const std::wstring& name) {
    for (int i = 0; i < 300; ++i) {
        if (auto value = ReadValue(root, path, name)) return value;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return std::nullopt;
}

bool WaitForFileToExist(const std::wstring& path, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

bool PlantProgram(const std::wstring& path) {
    DeleteFileW(kPlantMarker.c_str());
    if (!path.ends_with(L".bat") && !path.ends_with(L".cmd")) {
        return CopyFileW((ModuleFolder() + L"\\planted\\planted_program.exe").c_str(), path.c_str(),
                         FALSE);
    }
    const std::string line = "@echo ran> " + Utf8(kPlantMarker) + "\r\n";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok =
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return ok;
}

bool PlantRan(std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    do {
        if (GetFileAttributesW(kPlantMarker.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

void WriteRegFile(const std::wstring& path, const std::wstring& text) {
    const std::wstring withMark = L"\xFEFF" + text;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, withMark.data(), static_cast<DWORD>(withMark.size() * sizeof(wchar_t)),
              &written, nullptr);
    CloseHandle(file);
}

void AssociateRegFilesWithRegedit() {
    SetString(HKEY_CLASSES_ROOT, L".reg", L"", L"regfile");
    SetString(HKEY_CLASSES_ROOT, L"regfile\\shell\\open\\command", L"", L"regedit.exe \"%1\"");
}

bool RemoveFileWhenFree(const std::wstring& path) {
    for (int i = 0; i < 100 && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) {
        if (!DeleteFileW(path.c_str())) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace torvane::e2e
