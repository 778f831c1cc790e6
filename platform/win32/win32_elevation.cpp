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

// Whether the token is in the Administrators group. A null token is the
// calling thread's effective one, where a deny-only group in a filtered token
// does not count; a linked token read without SeTcbPrivilege is an
// identification token, which CheckTokenMembership takes too.
bool HasAdministrators(HANDLE token) {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
        return false;
    }
    BOOL member = FALSE;
    if (!CheckTokenMembership(token, administrators, &member)) member = FALSE;
    FreeSid(administrators);
    return member != FALSE;
}

TokenFacts ReadTokenFacts() {
    TokenFacts facts;
    HANDLE rawToken = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken)) {
        UniqueHandle token(rawToken);
        TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
        DWORD size = 0;
        if (GetTokenInformation(token.get(), TokenElevationType, &type, sizeof type, &size)) {
            if (type == TokenElevationTypeFull) facts.type = TokenElevation::Full;
            if (type == TokenElevationTypeLimited) facts.type = TokenElevation::Limited;
        }
        TOKEN_LINKED_TOKEN linked{};
        if (facts.type == TokenElevation::Limited &&
            GetTokenInformation(token.get(), TokenLinkedToken, &linked, sizeof linked, &size)) {
            UniqueHandle linkedToken(linked.LinkedToken);
            facts.linkedTokenIsAdministrator = HasAdministrators(linkedToken.get());
        }
    }
    if (facts.type == TokenElevation::Default)
        facts.memberOfAdministrators = HasAdministrators(nullptr);
    return facts;
}

}  // namespace

ElevationState Win32Elevation::State() {
    return DecideElevation(ReadTokenFacts());
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
