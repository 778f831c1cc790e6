#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/record_store.h"

namespace torvane {

// The record is a few lines per changed value; a file far larger was not
// written by this program, and reading it whole could exhaust memory. Read
// refuses a larger file and Replace larger bytes, with ERROR_FILE_TOO_LARGE.
constexpr std::size_t kLargestRecordBytes = 16 * 1024 * 1024;

// Puts the bytes into an open file; the system's error when it cannot.
using RecordWriter = ErrorCode (*)(HANDLE file, const std::vector<std::uint8_t>& bytes);

// One WriteFile of every byte.
ErrorCode WriteAllBytes(HANDLE file, const std::vector<std::uint8_t>& bytes);

// What a write refused with access denied found at the path.
enum class ReadOnlyFile {
    No,       // not read-only, or not to be looked at (a file being deleted, say)
    Cleared,  // a plain file that was read-only and is no longer
    NotOurs,  // read-only, but a link, a folder or a file with other names: left alone
};

// Takes the read-only attribute off the file at the path, if it is a plain
// file with no other name. The name itself is opened, never a link's target,
// so that an elevated run cannot be led to change a file outside the folder.
ReadOnlyFile ClearReadOnly(const wchar_t* path);

// The record in <Local AppData>\Torvane\RegTool\original-values.reg, locked
// through original-values.lock beside it. Used from one thread; each window of
// the program has its own.
class Win32RecordStore : public RecordStore {
  public:
    // localAppData, when given, stands in for the user's Local AppData folder
    // and must outlive the store. Nothing is looked up here: the program makes
    // its store at start-up, and finding the folder loads shell32.
    explicit Win32RecordStore(const wchar_t* localAppData = nullptr,
                              RecordWriter writer = WriteAllBytes)
        : localAppData_(localAppData), writer_(writer) {}

    // "" when the user's Local AppData folder cannot be found.
    std::wstring Path() override;
    LockedRecord Lock() override;

  private:
    ErrorCode FindFolder();

    const wchar_t* localAppData_;
    RecordWriter writer_;
    wchar_t folder_[MAX_PATH] = {};  // <Local AppData>\Torvane\ once found
};

}  // namespace torvane
