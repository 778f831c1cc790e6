#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry_access.h"

// The file that keeps, per Windows user, the originals of the values this
// program has changed, and the lock that keeps two windows of the program from
// losing each other's entries. Whoever holds the lock may read and replace the
// file; nobody holds it across a dialog.
namespace torvane {

class RecordFile {
  public:
    virtual ~RecordFile() = default;  // releases the lock
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // The whole file into bytes; kErrorFileNotFound when there is none yet.
    virtual ErrorCode Read(std::vector<std::uint8_t>& bytes) = 0;
    // Replaces the file whole: written to a temporary file in the same folder,
    // flushed to the disk, then moved over the old one, so that a crash or a
    // power cut leaves the old file or the new one, never half of one. On a
    // failure the old file is as it was.
    virtual ErrorCode Replace(const std::vector<std::uint8_t>& bytes) = 0;

  protected:
    RecordFile() = default;
};

struct LockedRecord {
    std::unique_ptr<RecordFile> file;  // null whenever error != kSuccess
    ErrorCode error = kSuccess;
};

class RecordStore {
  public:
    virtual ~RecordStore() = default;
    // The file's full path, for messages.
    virtual std::wstring Path() = 0;
    // Creates the folder when it is missing and takes the lock, waiting a
    // little while another window of the program holds it.
    virtual LockedRecord Lock() = 0;
};

}  // namespace torvane
