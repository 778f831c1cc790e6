#pragma once

// For the record store's tests: a folder of their own, and its files read past the store.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/record_store.h"

namespace torvane {

using Bytes = std::vector<std::uint8_t>;

inline Bytes BytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A fresh folder standing in for Local AppData, removed with all it holds.
class TemporaryFolder {
  public:
    TemporaryFolder() {
        static int count = 0;
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path = std::wstring(temp) + L"torvane-store-" + std::to_wstring(GetCurrentProcessId()) +
               L"-" + std::to_wstring(++count);
        RemoveTree(path);
        CreateDirectoryW(path.c_str(), nullptr);
    }
    ~TemporaryFolder() { RemoveTree(path); }
    std::wstring RecordFolder() const { return path + L"\\Torvane\\RegTool"; }
    std::wstring Record() const { return RecordFolder() + L"\\original-values.reg"; }

    std::wstring path;

  private:
    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(folder + L"\\" + name);
                } else {
                    SetFileAttributesW((folder + L"\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW((folder + L"\\" + name).c_str());
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryW(folder.c_str());
    }
};

inline std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

inline const std::vector<std::wstring> kRecordAndLock = {L"original-values.lock",
                                                         L"original-values.reg"};

// The file's bytes as they are on the disk, read past the store, as text for
// readable failures.
inline std::optional<std::string> FileText(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string text(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    if (!text.empty()) ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(file);
    text.resize(got);
    return text;
}

inline ErrorCode Save(RecordStore& store, const Bytes& bytes) {
    LockedRecord locked = store.Lock();
    if (locked.error) return locked.error;
    return locked.file->Replace(bytes);
}

}  // namespace torvane
