#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tweaks/original_values.h"

// The record file under its lock, and the registry as it is now, as keeping
// originals and putting them back both need them.
namespace torvane {

// A value as it is now: set, absent (an empty inner value), or unreadable
// (nothing at all).
using PresentValue = std::optional<std::optional<RegistryValue>>;
PresentValue Present(TweakContext& context, const Original& where);

// Whether the original equals the value now, so that it counts as none.
bool EqualsPresent(TweakContext& context, const Original& original);

struct OpenRecord {
    std::unique_ptr<RecordFile> file;  // the lock; null when the record cannot be used
    std::vector<Original> entries;
    std::wstring problem;
};

// Takes the lock and reads the record; a record that cannot be read is left
// as it is, and the lock let go.
OpenRecord LockAndRead(TweakContext& context);

ErrorCode SaveRecord(RecordFile& file, const std::vector<Original>& entries);

}  // namespace torvane
