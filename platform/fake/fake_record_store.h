#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/record_store.h"

// The record of originals in memory, for tests. Like the real lock, a second
// Lock while the first is held is refused, so a test cannot pass by taking it
// twice.
namespace torvane {

class FakeRecordStore : public RecordStore {
  public:
    std::wstring Path() override { return path; }
    LockedRecord Lock() override;

    // Whether a RecordFile is alive now: nobody may hold it across a dialog.
    bool LockHeld() const { return held_; }

    std::optional<std::vector<std::uint8_t>> file;  // nullopt: no file yet
    std::wstring path = L"C:\\Users\\me\\AppData\\Local\\Torvane\\RegTool\\original-values.reg";
    // What Lock, Read and Replace answer instead of succeeding.
    ErrorCode lockError = kSuccess;
    ErrorCode readError = kSuccess;
    ErrorCode replaceError = kSuccess;
    int replaceCount = 0;  // every Replace call, failed ones too

  private:
    friend class FakeRecordFile;
    bool held_ = false;
};

}  // namespace torvane
