#pragma once

#include <string>

#include "tweaks/tweak_context.h"

namespace torvane {

// What a refused write was aimed at. It decides the advice a user without the
// rights gets: "run as administrator" with another account's password makes
// the program run as that account, and a per-user change would then land in
// that account's settings, not this user's.
enum class RefusedTarget {
    PolicyKey,      // HKEY_CURRENT_USER\…\Policies: writable by administrators only
    UserKey,        // elsewhere under HKEY_CURRENT_USER
    MachineKey,     // HKEY_LOCAL_MACHINE or HKEY_USERS
    ProgramFolder,  // the backup's batch file beside the program
};

// The line of advice for access denied, "" when none helps.
std::wstring AccessAdvice(ElevationState state, RefusedTarget target);

// Shows a failure once, titled "错误". For access denied it adds the advice
// that fits the user and the target, and an administrator running without
// elevation is asked whether to restart as administrator; Yes restarts and
// closes this window.
void ReportFailure(TweakContext& context, const std::wstring& message, ErrorCode error,
                   RefusedTarget target);

}  // namespace torvane
