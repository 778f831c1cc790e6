// The shell's "open" of a registry file, and the check that comes before it:
// which program the association would start, and from where.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "platform/win32/com_apartment.h"
#include "platform/win32/process_paths.h"
#include "platform/win32/system_library.h"
#include "platform/win32/unique_handles.h"
#include "platform/win32/win32_shell.h"

namespace torvane {
namespace {

// The command of the shell's "open" for files like this one, as registered:
// for .reg files on Windows, regedit.exe "%1".
std::wstring OpenCommandFor(const std::wstring& path) {
    const std::wstring name = FileNameWithoutFolder(path);
    const auto dot = name.find_last_of(L'.');
    if (dot == std::wstring::npos) return L"";
    using AssocQueryStringFunction =
        HRESULT(WINAPI*)(DWORD, int, const wchar_t*, const wchar_t*, wchar_t*, DWORD*);
    static const auto assocQueryString =
        SystemFunction<AssocQueryStringFunction>(L"shlwapi.dll", "AssocQueryStringW");
    if (!assocQueryString) return L"";
    constexpr int kCommand = 1;  // ASSOCSTR_COMMAND
    std::wstring command(32768, L'\0');
    DWORD size = static_cast<DWORD>(command.size());
    if (FAILED(assocQueryString(0, kCommand, name.substr(dot).c_str(), L"open", command.data(),
                                &size))) {
        return L"";
    }
    command.resize(wcsnlen(command.c_str(), command.size()));
    return command;
}

// The program a command starts, as its first word names it.
std::wstring ProgramOfCommand(const std::wstring& command) {
    if (!command.empty() && command.front() == L'"') {
        const auto close = command.find(L'"', 1);
        return command.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
    }
    return command.substr(0, command.find_first_of(L" \t"));
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A command that names its program without a folder is resolved the way
// CreateProcess resolves it: the starting program's own folder first, then the
// current folder, and only then the system folders. A file of that name in
// either of the first two, where anyone who can drop a file beside a
// downloaded exe could have put it, would run instead: its path, or "".
std::wstring PlantedProgramFor(const std::wstring& command, const std::wstring& programFolder) {
    std::wstring program = ProgramOfCommand(command);
    if (program.empty() || program.find_first_of(L"\\/:") != std::wstring::npos) return L"";
    if (FileNameWithoutFolder(program).find(L'.') == std::wstring::npos) program += L".exe";
    for (const std::wstring& folder : {programFolder, CurrentFolder()}) {
        if (folder.empty()) continue;
        const std::wstring candidate = folder + (folder.back() == L'\\' ? L"" : L"\\") + program;
        if (FileExists(candidate)) return candidate;
    }
    return L"";
}

}  // namespace

ShellOpenOutcome Win32Shell::ShellOpen(const std::wstring& fullPath) {
    const std::wstring planted = PlantedProgramFor(OpenCommandFor(fullPath), ProgramFolder());
    if (!planted.empty()) return {kSuccess, planted};

    // ShellExecuteEx, unlike ShellExecute, reports its failure through
    // GetLastError, which is what the user is shown.
    using ShellExecuteExFunction = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
    static ErrorCode lookupError = kSuccess;
    static const auto shellExecuteEx = [] {
        const auto function =
            SystemFunction<ShellExecuteExFunction>(L"shell32.dll", "ShellExecuteExW");
        if (!function) lookupError = GetLastError() ? GetLastError() : ERROR_PROC_NOT_FOUND;
        return function;
    }();
    if (!shellExecuteEx) return {lookupError, L""};
    EnsureComApartment();  // the "open" verb may be carried out by a shell extension
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    // No message box of the shell's own: the failure is shown once, by the
    // task. The call returns once the shell has finished, so that its error
    // is known.
    execute.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    execute.hwnd = owner_.handle;
    execute.lpVerb = L"open";
    execute.lpFile = fullPath.c_str();
    execute.nShow = SW_SHOW;
    if (!shellExecuteEx(&execute)) {
        const ErrorCode error = GetLastError();
        // A failure must never pass for success, even without a reason given.
        return {error != kSuccess ? error : static_cast<ErrorCode>(E_FAIL), L""};
    }
    return {};
}

}  // namespace torvane
