#include "platform/win32/win32_shell.h"

#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <vector>

#include "platform/win32/com_apartment.h"
#include "platform/win32/system_library.h"
#include "platform/win32/unique_handles.h"

namespace torvane {

std::optional<std::string> ToOemCodePage(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.data(), length,
                                         nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.data(), length, bytes.data(), size,
                        nullptr, &usedDefault);
    if (usedDefault) return std::nullopt;
    return bytes;
}

void Win32Shell::ShellOpen(const std::wstring& fullPath) {
    using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, const wchar_t*, const wchar_t*,
                                                    const wchar_t*, const wchar_t*, int);
    static const auto shellExecute =
        SystemFunction<ShellExecuteFunction>(L"shell32.dll", "ShellExecuteW");
    if (!shellExecute) return;
    EnsureComApartment();  // the "open" verb may be carried out by a shell extension
    shellExecute(owner_.handle, L"open", fullPath.c_str(), nullptr, nullptr, SW_SHOW);
}

ErrorCode Win32Shell::RunCommand(const std::wstring& commandLine) {
    // Name the interpreter by its full path in the system folder, so that no
    // program planted along the search path can stand in for it.
    wchar_t systemFolder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(systemFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return GetLastError();
    const std::wstring interpreter = std::wstring(systemFolder, length) + L"\\cmd.exe";

    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(interpreter.c_str(), mutableLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE, nullptr, nullptr, &startup, &process)) {
        return GetLastError();
    }
    // Not waited for: the export runs on in its own window.
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    return kSuccess;
}

std::wstring Win32Shell::ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\'));
}

TextFileResult Win32Shell::WriteTextLine(const std::wstring& path, const std::wstring& line) {
    auto bytes = ToOemCodePage(line);
    if (!bytes) return {false, kSuccess};
    *bytes += "\r\n";
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return {true, GetLastError()};
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &written,
                   nullptr) ||
        written != bytes->size()) {
        return {true, GetLastError()};
    }
    return {};
}

std::wstring Win32Shell::ErrorText(ErrorCode error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::unique_ptr<wchar_t, LocalFreer> owned(buffer);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) text = L"错误代码 " + std::to_wstring(error);
    return text;
}

void Win32Shell::CloseMainWindow() {
    if (owner_.handle) DestroyWindow(owner_.handle);
}

}  // namespace torvane
