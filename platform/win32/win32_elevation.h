#pragma once

#include "platform/elevation.h"
#include "platform/win32/owner_window.h"

namespace torvane {

// Reads this process's token, and restarts the program through the "runas" verb.
class Win32Elevation : public Elevation {
  public:
    explicit Win32Elevation(const OwnerWindow& owner) : owner_(owner) {}
    ElevationState State() override;
    ErrorCode RestartElevated() override;

  private:
    const OwnerWindow& owner_;
};

}  // namespace torvane
