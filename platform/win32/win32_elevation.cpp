#include "platform/win32/win32_elevation.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "platform/win32/com_apartment.h"
#include "platform/win32/process_paths.h"
#include "platform/win32/system_library.h"
#include "platform/win32/unique_handles.h"

namespace torvane {
namespace {

bool TokenHasAdministrators() {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
        return false;
    }
    BOOL member = FALSE;
    // The calling thread's effective token: a deny-only group in a filtered
    // token does not count.
    if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
    FreeSid(administrators);
    return member != FALSE;
}

}  // namespace

ElevationState Win32Elevation::State() {
    HANDLE rawToken = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken)) {
        UniqueHandle token(rawToken);
        TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
        DWORD size = 0;
        if (GetTokenInformation(token.get(), TokenElevationType, &type, sizeof type, &size)) {
            // A split token: the full one is a consent prompt away.
            if (type == TokenElevationTypeLimited) return ElevationState::UnelevatedAdministrator;
            if (type == TokenElevationTypeFull) return ElevationState::Elevated;
        }
    }
    // No split token (UAC off, the built-in Administrator, or a standard user):
    // the rights are either here already or not to be had.
    return TokenHasAdministrators() ? ElevationState::Elevated : ElevationState::StandardUser;
}

ErrorCode Win32Elevation::RestartElevated() {
    using ShellExecuteExFunction = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);
    static const auto shellExecuteEx =
        SystemFunction<ShellExecuteExFunction>(L"shell32.dll", "ShellExecuteExW");
    if (!shellExecuteEx) return ERROR_PROC_NOT_FOUND;
    EnsureComApartment();
    const std::wstring exe = OwnExePath();
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    execute.hwnd = owner_.handle;
    execute.lpVerb = L"runas";
    execute.lpFile = exe.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (!shellExecuteEx(&execute)) return GetLastError();
    UniqueHandle started(execute.hProcess);
    return kSuccess;
}

}  // namespace torvane
