// The record of originals on a real file system: saves that fail or collide
// must never cost the user an entry or leave half a record.
#include <windows.h>

#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/fake/fake_record_store.h"
#include "platform/win32/win32_record_store.h"
#include "tests/wine/background_thread.h"
#include "tests/wine/record_store_support.h"

namespace torvane {
namespace {

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
