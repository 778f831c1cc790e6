#pragma once

#include <string>

#include "tweaks/tweak_context.h"

namespace torvane {

// Shows a failure once, titled "错误". When it is access denied and the user is
// an administrator running without elevation, the message goes on to offer a
// restart as administrator; Yes restarts and closes this window. Standard users
// are never offered it: someone else's credentials would make their profile,
// not this user's, receive the changes.
void ReportFailure(TweakContext& context, const std::wstring& message, ErrorCode error);

}  // namespace torvane
