#pragma once

// For the batch file's tests: a folder of their own, files past the shell, other processes.
#include <windows.h>

#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "platform/win32/win32_shell.h"

namespace torvane {

inline const std::wstring kFolder = L"C:\\Torvane 批处理 测试";

inline std::string ReadAll(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

inline bool WriteAll(const std::wstring& path, const std::string& bytes,
                     DWORD disposition = CREATE_ALWAYS) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    CloseHandle(file);
    return ok;
}

inline bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Polls for up to 20 s.
template <typename Condition>
bool Eventually(Condition condition) {
    for (int i = 0; i < 200; ++i) {
        if (condition()) return true;
        Sleep(100);
    }
    return false;
}

// Another process, run to its end: its exit code.
inline std::optional<DWORD> RunInAnotherProcess(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, kFolder.c_str(), &startup, &process)) {
        return std::nullopt;
    }
    std::optional<DWORD> exitCode;
    DWORD code = 0;
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(process.hProcess, &code)) {
        exitCode = code;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

// Whatever is at the path, a read-only file or an empty folder too.
inline void Remove(const std::wstring& path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileW(path.c_str())) RemoveDirectoryW(path.c_str());
}

class BatchFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CreateDirectoryW(kFolder.c_str(), nullptr);
        for (const std::wstring& path : {batch, other}) Remove(path);
    }
    void TearDown() override {
        for (const std::wstring& path : {batch, other, batch + L".aside"}) Remove(path);
    }
    OwnerWindow owner;
    Win32Shell shell{owner};
    const std::wstring batch = kFolder + L"\\BackUp.bat";
    const std::wstring other = kFolder + L"\\other.txt";
};

}  // namespace torvane
