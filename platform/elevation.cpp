#include "platform/elevation.h"

namespace torvane {

ElevationState DecideElevation(const TokenFacts& facts) {
    switch (facts.type) {
        case TokenElevation::Full:
            return ElevationState::Elevated;
        case TokenElevation::Limited:
            return facts.linkedTokenIsAdministrator.value_or(false)
                       ? ElevationState::UnelevatedAdministrator
                       : ElevationState::StandardUser;
        case TokenElevation::Default:
            break;
    }
    // No split token (UAC off, the built-in Administrator, or a standard user):
    // the rights are either here already or not to be had.
    return facts.memberOfAdministrators ? ElevationState::Elevated : ElevationState::StandardUser;
}

}  // namespace torvane
