// The record of originals on a real file system: saves that fail or collide
// must never cost the user an entry or leave half a record.
#include <windows.h>

#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/fake/fake_record_store.h"
#include "platform/win32/win32_record_store.h"

namespace torvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A fresh folder standing in for Local AppData, removed with all it holds.
class TemporaryFolder {
  public:
    TemporaryFolder() {
        static int count = 0;
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path = std::wstring(temp) + L"torvane-store-" + std::to_wstring(GetCurrentProcessId()) +
               L"-" + std::to_wstring(++count);
        RemoveTree(path);
        CreateDirectoryW(path.c_str(), nullptr);
    }
    ~TemporaryFolder() { RemoveTree(path); }
    std::wstring RecordFolder() const { return path + L"\\Torvane\\RegTool"; }
    std::wstring Record() const { return RecordFolder() + L"\\original-values.reg"; }

    std::wstring path;

  private:
    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(folder + L"\\" + name);
                } else {
                    DeleteFileW((folder + L"\\" + name).c_str());
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }
};

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

const std::vector<std::wstring> kRecordAndLock = {L"original-values.lock", L"original-values.reg"};

// The file's bytes as they are on the disk, read past the store, as text for
// readable failures.
std::optional<std::string> FileText(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string text(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    if (!text.empty()) ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    CloseHandle(file);
    text.resize(got);
    return text;
}

ErrorCode Save(RecordStore& store, const Bytes& bytes) {
    LockedRecord locked = store.Lock();
    if (locked.error) return locked.error;
    return locked.file->Replace(bytes);
}

// Runs the action on another thread once it is started, and joins it at the end.
class Background {
  public:
    explicit Background(std::function<void(std::atomic<bool>&)> action)
        : thread_([this, action] { action(ready_); }) {
        while (!ready_) Sleep(1);
    }
    ~Background() { thread_.join(); }

  private:
    std::atomic<bool> ready_{false};
    std::thread thread_;
};

TEST(Win32RecordStore, MakesItsFolderOnFirstLockAndReadsAMissingRecordAsNotFound) {
    TemporaryFolder base;
    Win32RecordStore store(base.path.c_str());
    EXPECT_EQ(store.Path(), base.Record());
    EXPECT_EQ(GetFileAttributesW((base.path + L"\\Torvane").c_str()), INVALID_FILE_ATTRIBUTES);

    LockedRecord locked = store.Lock();
    ASSERT_EQ(locked.error, kSuccess);
    const DWORD attributes = GetFileAttributesW(base.RecordFolder().c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    Bytes bytes = BytesOf("stale");
    EXPECT_EQ(locked.file->Read(bytes), kErrorFileNotFound);
    EXPECT_TRUE(bytes.empty());
}

TEST(Win32RecordStore, WithoutAnOverrideLivesInTheUsersLocalAppData) {
    wchar_t* localAppData = nullptr;
    ASSERT_EQ(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &localAppData), S_OK);
    const std::wstring expected =
        std::wstring(localAppData) + L"\\Torvane\\RegTool\\original-values.reg";
    CoTaskMemFree(localAppData);
    Win32RecordStore store;
    EXPECT_EQ(store.Path(), expected);
}

// Writes the first half of the bytes, then fails as a full disk would.
ErrorCode WriteHalfThenFail(HANDLE file, const Bytes& bytes) {
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size() / 2), &written, nullptr);
    return ERROR_DISK_FULL;
}

TEST(Win32RecordStore, ASaveThatFailsPartWayLeavesTheOldRecordWhole) {
    TemporaryFolder base;
    Win32RecordStore store(base.path.c_str());
    const std::string old = "HKCU old entry\r\n";
    ASSERT_EQ(Save(store, BytesOf(old)), kSuccess);

    Win32RecordStore failing(base.path.c_str(), WriteHalfThenFail);
    EXPECT_EQ(Save(failing, BytesOf("HKCU old entry\r\nHKCU new entry that fails\r\n")),
              static_cast<ErrorCode>(ERROR_DISK_FULL));
    EXPECT_EQ(FileText(base.Record()), old);
    EXPECT_EQ(FilesIn(base.RecordFolder()), kRecordAndLock);
}

TEST(Win32RecordStore, TwoWritersUnderTheLockKeepEveryEntry) {
    TemporaryFolder base;
    constexpr int kRounds = 15;
    auto appendMarkers = [&](char writer) {
        Win32RecordStore store(base.path.c_str());
        for (int i = 0; i < kRounds; ++i) {
            LockedRecord locked = store.Lock();
            ASSERT_EQ(locked.error, kSuccess);
            Bytes bytes;
            const ErrorCode read = locked.file->Read(bytes);
            ASSERT_TRUE(read == kSuccess || read == kErrorFileNotFound) << read;
            Sleep(2);  // as long as a registry write, say, with the lock held
            const std::string marker = std::string(1, writer) + std::to_string(i) + ";";
            bytes.insert(bytes.end(), marker.begin(), marker.end());
            ASSERT_EQ(locked.file->Replace(bytes), kSuccess);
        }
    };
    std::thread first(appendMarkers, 'A');
    std::thread second(appendMarkers, 'B');
    first.join();
    second.join();

    const std::string text = FileText(base.Record()).value_or("");
    for (const char writer : {'A', 'B'}) {
        for (int i = 0; i < kRounds; ++i) {
            const std::string marker = std::string(1, writer) + std::to_string(i) + ";";
            EXPECT_NE(text.find(marker), std::string::npos) << marker << " lost from " << text;
        }
    }
}

TEST(Win32RecordStore, ASaveWaitsForAReaderThatHoldsTheLock) {
    TemporaryFolder base;
    Win32RecordStore writer(base.path.c_str());
    ASSERT_EQ(Save(writer, BytesOf("before")), kSuccess);
    {
        Background reader([&](std::atomic<bool>& ready) {
            Win32RecordStore store(base.path.c_str());
            LockedRecord locked = store.Lock();
            ready = true;
            ASSERT_EQ(locked.error, kSuccess);
            Bytes bytes;
            EXPECT_EQ(locked.file->Read(bytes), kSuccess);
            Sleep(300);
        });
        const ULONGLONG start = GetTickCount64();
        EXPECT_EQ(Save(writer, BytesOf("after")), kSuccess);
        EXPECT_GE(GetTickCount64() - start, 200u) << "saved while the reader held the lock";
    }
    EXPECT_EQ(FileText(base.Record()), "after");
}

TEST(Win32RecordStore, KeepsToRecordsItCanReadBack) {
    TemporaryFolder base;
    Win32RecordStore store(base.path.c_str());
    LockedRecord locked = store.Lock();
    ASSERT_EQ(locked.error, kSuccess);
    EXPECT_EQ(locked.file->Replace(Bytes(kLargestRecordBytes + 1, 'x')),
              static_cast<ErrorCode>(ERROR_FILE_TOO_LARGE));
    EXPECT_EQ(GetFileAttributesW(base.Record().c_str()), INVALID_FILE_ATTRIBUTES)
        << "a record too large to read was written";
    ASSERT_EQ(locked.file->Replace(Bytes(kLargestRecordBytes, 'x')), kSuccess);
    Bytes bytes;
    EXPECT_EQ(locked.file->Read(bytes), kSuccess);
    EXPECT_EQ(bytes.size(), kLargestRecordBytes);

    // One byte more, from another program.
    HANDLE file =
        CreateFileW(base.Record().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    SetFilePointer(file, 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(file, "x", 1, &written, nullptr);
    CloseHandle(file);
    EXPECT_EQ(locked.file->Read(bytes), static_cast<ErrorCode>(ERROR_FILE_TOO_LARGE));
    EXPECT_TRUE(bytes.empty());
}

struct HeldRecordCase {
    const char* name;
    DWORD holdMs;
    bool saved;
};
void PrintTo(const HeldRecordCase& held, std::ostream* out) {
    *out << held.name;
}

class Win32RecordStoreHeldRecord : public ::testing::TestWithParam<HeldRecordCase> {};

// Another program (a scanner, an editor) has the record open without sharing
// deletion, so it cannot be replaced until that handle is closed.
TEST_P(Win32RecordStoreHeldRecord, ReplaceWaitsABrieflyHeldRecordOutAndGivesUpOnALongHold) {
    TemporaryFolder base;
    Win32RecordStore store(base.path.c_str());
    ASSERT_EQ(Save(store, BytesOf("before")), kSuccess);
    ErrorCode error = kSuccess;
    {
        Background holder([&](std::atomic<bool>& ready) {
            HANDLE file = CreateFileW(base.Record().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
            ready = true;
            ASSERT_NE(file, INVALID_HANDLE_VALUE);
            Sleep(GetParam().holdMs);
            CloseHandle(file);
        });
        error = Save(store, BytesOf("after"));
    }
    if (GetParam().saved) {
        EXPECT_EQ(error, kSuccess);
        EXPECT_EQ(FileText(base.Record()), "after");
    } else {
        EXPECT_TRUE(error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) << error;
        EXPECT_EQ(FileText(base.Record()), "before");
        EXPECT_EQ(FilesIn(base.RecordFolder()), kRecordAndLock);
    }
}

INSTANTIATE_TEST_SUITE_P(Holds, Win32RecordStoreHeldRecord,
                         ::testing::Values(HeldRecordCase{"ForAMoment", 300, true},
                                           HeldRecordCase{"PastTheRetries", 1600, false}),
                         [](const auto& info) { return info.param.name; });

// The same steps against the in-memory store and the real one, so that the
// fake the unit tests rely on answers as Windows does.
struct StoreBackend {
    const char* name;
    std::function<std::unique_ptr<RecordStore>(const std::wstring& base)> make;
};
void PrintTo(const StoreBackend& backend, std::ostream* out) {
    *out << backend.name;
}

class RecordStoreContract : public ::testing::TestWithParam<StoreBackend> {};

TEST_P(RecordStoreContract, ReadsWhatWasReplacedAndLetsOneHolderAtATime) {
    TemporaryFolder base;
    const std::unique_ptr<RecordStore> store = GetParam().make(base.path);
    {
        LockedRecord locked = store->Lock();
        ASSERT_EQ(locked.error, kSuccess);
        const LockedRecord second = store->Lock();  // the real one waits its seconds first
        EXPECT_EQ(second.error, static_cast<ErrorCode>(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(second.file, nullptr);
        Bytes bytes;
        EXPECT_EQ(locked.file->Read(bytes), kErrorFileNotFound);
        EXPECT_EQ(locked.file->Replace(BytesOf("one\r\n")), kSuccess);
        EXPECT_EQ(locked.file->Read(bytes), kSuccess);
        EXPECT_EQ(bytes, BytesOf("one\r\n"));
    }
    LockedRecord again = store->Lock();
    ASSERT_EQ(again.error, kSuccess);
    Bytes bytes;
    EXPECT_EQ(again.file->Read(bytes), kSuccess);
    EXPECT_EQ(bytes, BytesOf("one\r\n"));
    EXPECT_EQ(again.file->Replace({}), kSuccess);
    EXPECT_EQ(again.file->Read(bytes), kSuccess);  // an empty record is still a record
    EXPECT_TRUE(bytes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Backends, RecordStoreContract,
    ::testing::Values(StoreBackend{"Fake",
                                   [](const std::wstring&) -> std::unique_ptr<RecordStore> {
                                       return std::make_unique<FakeRecordStore>();
                                   }},
                      StoreBackend{"Win32",
                                   [](const std::wstring& base) -> std::unique_ptr<RecordStore> {
                                       return std::make_unique<Win32RecordStore>(base.c_str());
                                   }}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace torvane
