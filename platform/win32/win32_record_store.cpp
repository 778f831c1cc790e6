#include "platform/win32/win32_record_store.h"

#include <windows.h>

#include <cwchar>
#include <iterator>
#include <utility>

#include "platform/win32/system_library.h"
#include "platform/win32/unique_handles.h"

namespace torvane {
namespace {

// Below the program's folder, itself below Local AppData.
constexpr wchar_t kProgramFolder[] = L"Torvane\\";
constexpr wchar_t kRecordFolder[] = L"RegTool";
constexpr wchar_t kRecordName[] = L"RegTool\\original-values.reg";
constexpr wchar_t kTemporaryName[] = L"RegTool\\original-values.tmp";
constexpr wchar_t kLockName[] = L"RegTool\\original-values.lock";
constexpr size_t kLongestName = sizeof kLockName / sizeof(wchar_t);  // with its NUL

// A change holds the lock for one registry write and one save, and a save may
// itself wait a second for the record; a window waits longer than that before
// it gives up.
constexpr ULONGLONG kLockWaitMs = 5000;
// A virus scanner or an indexer opens a new file for a moment.
constexpr ULONGLONG kBusyFileWaitMs = 1000;
// FOLDERID_LocalAppData, spelled out so that no GUID library is linked
// (https://learn.microsoft.com/windows/win32/shell/knownfolderid).
constexpr GUID kLocalAppDataId = {
    0xf1b32785, 0x6fba, 0x4fcf, {0x9d, 0x55, 0x7b, 0x8e, 0x7f, 0x15, 0x70, 0x91}};

using FolderPath = wchar_t[MAX_PATH];

ErrorCode LastError() {
    const DWORD error = GetLastError();
    return error ? error : ERROR_GEN_FAILURE;  // never a failure that reads as success
}

// The folder's length was checked against the longest name when it was found.
void Join(FolderPath& path, const FolderPath& folder, const wchar_t* name) {
    const size_t length = std::wcslen(folder);
    std::wmemcpy(path, folder, length);
    std::wmemcpy(path + length, name, std::wcslen(name) + 1);
}

bool Busy(ErrorCode error) {
    // Another handle without the sharing asked for, or a file being deleted.
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
}

// Makes the attempt until it succeeds, again every 20 ms while another handle
// is in the way. A file of ours that was made read-only (by a copy from a
// backup, say) is made writable once and tried again at once; one that is
// read-only but not ours to change fails at once, as no wait would help.
template <typename Attempt>
ErrorCode RetryWhileBusy(const wchar_t* path, ULONGLONG waitMs, Attempt attempt) {
    const ULONGLONG start = GetTickCount64();
    bool cleared = false;
    for (;;) {
        if (attempt()) return kSuccess;
        const ErrorCode error = LastError();
        if (error == ERROR_ACCESS_DENIED && !cleared) {
            const ReadOnlyFile readOnly = ClearReadOnly(path);
            if (readOnly == ReadOnlyFile::NotOurs) return error;
            if (readOnly == ReadOnlyFile::Cleared) {
                cleared = true;
                continue;
            }
        }
        if (!Busy(error) || GetTickCount64() - start >= waitMs) return error;
        Sleep(20);
    }
}

// Opens the file, waiting up to waitMs while another handle is in the way.
ErrorCode OpenFile(const wchar_t* path, DWORD access, DWORD share, DWORD disposition,
                   ULONGLONG waitMs, UniqueHandle& file) {
    return RetryWhileBusy(path, waitMs, [&] {
        file.reset(
            CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file.get() != INVALID_HANDLE_VALUE;
    });
}

ErrorCode CreateFolder(const wchar_t* path) {
    if (CreateDirectoryW(path, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return kSuccess;
    return LastError();
}

// The folder with a closing backslash, then the program's folder.
ErrorCode ComposeFolder(FolderPath& folder, const wchar_t* base) {
    size_t length = std::wcslen(base);
    const bool closed = length && base[length - 1] == L'\\';  // as a drive's root is
    if (length + !closed + std::size(kProgramFolder) + kLongestName > MAX_PATH) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    std::wmemcpy(folder, base, length);
    if (!closed) folder[length++] = L'\\';
    std::wmemcpy(folder + length, kProgramFolder, std::size(kProgramFolder));
    return kSuccess;
}

// The program's folder below the user's Local AppData. SHGetKnownFolderPath's
// reference asks for CoTaskMemFree whether the call succeeded or not
// (https://learn.microsoft.com/windows/win32/api/shlobj_core/nf-shlobj_core-shgetknownfolderpath).
ErrorCode FindLocalAppData(FolderPath& folder) {
    using GetKnownFolderPath = HRESULT(WINAPI*)(const GUID&, DWORD, HANDLE, wchar_t**);
    using TaskMemFree = void(WINAPI*)(void*);
    const auto getKnownFolderPath =
        SystemFunction<GetKnownFolderPath>(L"shell32.dll", "SHGetKnownFolderPath");
    const auto taskMemFree = SystemFunction<TaskMemFree>(L"ole32.dll", "CoTaskMemFree");
    if (!getKnownFolderPath || !taskMemFree) return ERROR_PROC_NOT_FOUND;
    constexpr DWORD kCreateWhenMissing = 0x8000;  // KF_FLAG_CREATE
    wchar_t* found = nullptr;
    const HRESULT result = getKnownFolderPath(kLocalAppDataId, kCreateWhenMissing, nullptr, &found);
    ErrorCode error =
        HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : ERROR_PATH_NOT_FOUND;
    if (SUCCEEDED(result) && found && *found) error = ComposeFolder(folder, found);
    taskMemFree(found);
    return error;
}

class Win32RecordFile : public RecordFile {
  public:
    Win32RecordFile(UniqueHandle lock, const FolderPath& folder, RecordWriter writer)
        : lock_(std::move(lock)), writer_(writer) {
        std::wmemcpy(folder_, folder, MAX_PATH);
    }

    ErrorCode Read(std::vector<std::uint8_t>& bytes) override {
        bytes.clear();
        FolderPath record;
        Join(record, folder_, kRecordName);
        // Sharing deletion lets a save move its new record over this one
        // while we read, where the file system allows it.
        UniqueHandle file;
        if (const ErrorCode error =
                OpenFile(record, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING,
                         kBusyFileWaitMs, file)) {
            return error;
        }
        LARGE_INTEGER size = {};
        if (!GetFileSizeEx(file.get(), &size)) return LastError();
        if (static_cast<ULONGLONG>(size.QuadPart) > kLargestRecordBytes)
            return ERROR_FILE_TOO_LARGE;
        bytes.resize(static_cast<size_t>(size.QuadPart));
        // A file answers a read in full, short only at its end.
        DWORD got = 0;
        if (!bytes.empty() &&
            !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) {
            bytes.clear();
            return LastError();
        }
        bytes.resize(got);
        return kSuccess;
    }

    ErrorCode Replace(const std::vector<std::uint8_t>& bytes) override {
        // A record too large for Read would cost every original in it.
        if (bytes.size() > kLargestRecordBytes) return ERROR_FILE_TOO_LARGE;
        FolderPath temporary;
        Join(temporary, folder_, kTemporaryName);
        const ErrorCode error = WriteAndMove(temporary, bytes);
        // Whatever failed, the old record stands and no half-written copy
        // stays behind.
        if (error) DeleteFileW(temporary);
        return error;
    }

  private:
    ErrorCode WriteAndMove(const FolderPath& temporary, const std::vector<std::uint8_t>& bytes) {
        {
            UniqueHandle file;
            if (const ErrorCode error =
                    OpenFile(temporary, GENERIC_WRITE, 0, CREATE_ALWAYS, kBusyFileWaitMs, file)) {
                return error;
            }
            if (const ErrorCode error = writer_(file.get(), bytes)) return error;
            // On the disk before it takes the record's name: a power cut must
            // not leave a record whose bytes never arrived.
            if (!FlushFileBuffers(file.get())) return LastError();
            if (!CloseHandle(file.release())) return LastError();
        }
        FolderPath record;
        Join(record, folder_, kRecordName);
        // Tried again on the record's name: a read-only record refuses to be replaced.
        return RetryWhileBusy(record, kBusyFileWaitMs, [&] {
            return MoveFileExW(temporary, record,
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
        });
    }

    UniqueHandle lock_;  // held for this object's life
    RecordWriter writer_;
    FolderPath folder_;  // the program's, with a closing backslash
};

}  // namespace

ReadOnlyFile ClearReadOnly(const wchar_t* path) {
    // Attributes are neither read nor written data, so no other handle's
    // sharing stands in the way; a folder opens only with backup semantics,
    // and is then seen for what it is.
    UniqueHandle file(
        CreateFileW(path, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return ReadOnlyFile::No;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.get(), &information)) return ReadOnlyFile::No;
    const DWORD attributes = information.dwFileAttributes;
    if (!(attributes & FILE_ATTRIBUTE_READONLY)) return ReadOnlyFile::No;
    // A hard link shares its attributes with the file's every other name.
    if ((attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ||
        information.nNumberOfLinks != 1) {
        return ReadOnlyFile::NotOurs;
    }
    // Times of zero stay as they are; attributes of zero would change none
    // (https://learn.microsoft.com/openspecs/windows_protocols/ms-fscc/16023025-8a78-492f-8b96-c873b042ac50).
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = attributes & ~FILE_ATTRIBUTE_READONLY;
    if (!basic.FileAttributes) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic)
               ? ReadOnlyFile::Cleared
               : ReadOnlyFile::NotOurs;
}

ErrorCode WriteAllBytes(HANDLE file, const std::vector<std::uint8_t>& bytes) {
    // Replace keeps records far below 4 GB, so one write takes them whole.
    if (bytes.empty()) return kSuccess;
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        return LastError();
    }
    return written == bytes.size() ? kSuccess : ERROR_WRITE_FAULT;
}

ErrorCode Win32RecordStore::FindFolder() {
    if (folder_[0]) return kSuccess;
    return localAppData_ ? ComposeFolder(folder_, localAppData_) : FindLocalAppData(folder_);
}

std::wstring Win32RecordStore::Path() {
    if (FindFolder()) return std::wstring();
    FolderPath record;
    Join(record, folder_, kRecordName);
    return record;
}

LockedRecord Win32RecordStore::Lock() {
    LockedRecord locked;
    FolderPath path;
    if (!(locked.error = FindFolder()) && !(locked.error = CreateFolder(folder_))) {
        Join(path, folder_, kRecordFolder);
        locked.error = CreateFolder(path);
    }
    if (locked.error) return locked;
    // No sharing at all: while one handle has the lock file open, every other
    // open of it, in this process or another, is refused.
    Join(path, folder_, kLockName);
    UniqueHandle lock;
    locked.error = OpenFile(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS, kLockWaitMs, lock);
    if (!locked.error) locked.file.reset(new Win32RecordFile(std::move(lock), folder_, writer_));
    return locked;
}

}  // namespace torvane
