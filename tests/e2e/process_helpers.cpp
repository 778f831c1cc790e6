#include <windows.h>

#include <tlhelp32.h>

#include "tests/e2e/app_driver.h"

namespace torvane::e2e {

std::map<DWORD, std::wstring> Processes() {
    std::map<DWORD, std::wstring> processes;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        processes[entry.th32ProcessID] = entry.szExeFile;
    }
    CloseHandle(snapshot);
    return processes;
}

std::optional<bool> HasModule(DWORD processId, const std::wstring& dllName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE) return std::nullopt;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    std::optional<bool> found;
    for (BOOL more = Module32FirstW(snapshot, &entry); more;
         more = Module32NextW(snapshot, &entry)) {
        found = found.value_or(false) || lstrcmpiW(entry.szModule, dllName.c_str()) == 0;
    }
    CloseHandle(snapshot);
    return found;
}

std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::optional<DWORD> RunToExit(std::wstring commandLine, const wchar_t* folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder,
                        &startup, &process)) {
        return std::nullopt;
    }
    DWORD code = 0;
    const bool ended = WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process.hProcess, &code);
    if (!ended) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended ? std::optional<DWORD>(code) : std::nullopt;
}

}  // namespace torvane::e2e
