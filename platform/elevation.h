#pragma once

#include <optional>

#include "platform/registry_access.h"

// Whether this process runs with administrator rights, and the way to get them.
namespace torvane {

enum class ElevationState {
    StandardUser,             // no administrator group in the token
    UnelevatedAdministrator,  // an administrator's filtered token: elevation is one prompt away
    Elevated,                 // the rights are already here
};

// What the process token says, as GetTokenInformation and CheckTokenMembership
// report it.
enum class TokenElevation { Default, Full, Limited };
struct TokenFacts {
    TokenElevation type = TokenElevation::Default;
    // Limited only: whether the linked token is in the Administrators group;
    // nothing when it could not be read.
    std::optional<bool> linkedTokenIsAdministrator;
    // Default only: whether this token is in the Administrators group.
    bool memberOfAdministrators = false;
};

// Windows also splits the token of users who are not administrators but hold
// certain groups or privileges (Backup Operators, say), so a limited token
// alone does not make an administrator: its linked token must be one.
ElevationState DecideElevation(const TokenFacts& facts);

// What Windows answers when the user declines the elevation prompt.
constexpr ErrorCode kErrorCancelled = 1223;

class Elevation {
  public:
    virtual ~Elevation() = default;
    virtual ElevationState State() = 0;
    // Starts this program again as administrator. kSuccess once the new process
    // has started, kErrorCancelled when the user declined the prompt.
    virtual ErrorCode RestartElevated() = 0;
};

}  // namespace torvane
