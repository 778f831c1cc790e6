#pragma once

#include "platform/registry_access.h"

// Whether this process runs with administrator rights, and the way to get them.
namespace torvane {

enum class ElevationState {
    StandardUser,             // no administrator group in the token
    UnelevatedAdministrator,  // an administrator's filtered token: elevation is one prompt away
    Elevated,                 // the rights are already here
};

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
