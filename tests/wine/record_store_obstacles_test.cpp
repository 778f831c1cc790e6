// The record of originals when other programs hold its files or mark them read-only.
#include <windows.h>

#include <gtest/gtest.h>
#include <ostream>
#include <string>

#include "platform/win32/win32_record_store.h"
#include "tests/wine/background_thread.h"
#include "tests/wine/record_store_support.h"

namespace torvane {
namespace {

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

// What stands at the name, made read-only; false when this system cannot make it.
struct ReadOnlyCase {
    const char* name;
    bool (*plant)(const std::wstring& path);
    ReadOnlyFile found;
};
void PrintTo(const ReadOnlyCase& c, std::ostream* out) {
    *out << c.name;
}

bool PlantFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    return file != INVALID_HANDLE_VALUE && CloseHandle(file);
}
// False when the system keeps no such attributes there.
bool MadeReadOnly(const std::wstring& path, DWORD more = 0) {
    const DWORD wanted = FILE_ATTRIBUTE_READONLY | more;
    SetFileAttributesW(path.c_str(), GetFileAttributesW(path.c_str()) | wanted);
    return (GetFileAttributesW(path.c_str()) & wanted) == wanted;
}

class ClearReadOnlyTest : public ::testing::TestWithParam<ReadOnlyCase> {};

TEST_P(ClearReadOnlyTest, OnlyAPlainFileOfOneNameIsMadeWritable) {
    TemporaryFolder base;
    const std::wstring path = base.path + L"\\original-values.lock";
    if (!GetParam().plant(path)) GTEST_SKIP() << "this system cannot make it";
    const DWORD before = GetFileAttributesW(path.c_str());
    EXPECT_EQ(ClearReadOnly(path.c_str()), GetParam().found);
    const bool cleared = GetParam().found == ReadOnlyFile::Cleared;
    EXPECT_EQ(GetFileAttributesW(path.c_str()),
              cleared ? before & ~FILE_ATTRIBUTE_READONLY : before);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ClearReadOnlyTest,
    ::testing::Values(
        ReadOnlyCase{"ReadOnlyFile",
                     [](const std::wstring& path) { return PlantFile(path) && MadeReadOnly(path); },
                     ReadOnlyFile::Cleared},
        ReadOnlyCase{"ReadOnlyHiddenFileStaysHidden",
                     [](const std::wstring& path) {
                         return PlantFile(path) && MadeReadOnly(path, FILE_ATTRIBUTE_HIDDEN);
                     },
                     ReadOnlyFile::Cleared},
        ReadOnlyCase{"WritableFile", PlantFile, ReadOnlyFile::No},
        ReadOnlyCase{"Nothing", [](const std::wstring&) { return true; }, ReadOnlyFile::No},
        ReadOnlyCase{"ReadOnlyFolder",
                     [](const std::wstring& path) {
                         return CreateDirectoryW(path.c_str(), nullptr) && MadeReadOnly(path);
                     },
                     ReadOnlyFile::NotOurs},
        // A second name of a file elsewhere, which shares its attributes.
        ReadOnlyCase{"HardLink",
                     [](const std::wstring& path) {
                         const std::wstring elsewhere = path + L".elsewhere";
                         return PlantFile(elsewhere) && MadeReadOnly(elsewhere) &&
                                CreateHardLinkW(path.c_str(), elsewhere.c_str(), nullptr);
                     },
                     ReadOnlyFile::NotOurs}),
    [](const auto& info) { return info.param.name; });

// Whether this system refuses to write a read-only file; Wine run as root,
// whose files carry the attribute as missing write permission, does not.
bool ReadOnlyRefusesWriting(const std::wstring& folder) {
    const std::wstring probe = folder + L"\\probe";
    PlantFile(probe);
    MadeReadOnly(probe);
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(probe.c_str());
    return file == INVALID_HANDLE_VALUE;
}

TEST(Win32RecordStoreReadOnly, ASaveOverReadOnlyFilesOfItsOwnSucceedsAtOnce) {
    TemporaryFolder base;
    if (!ReadOnlyRefusesWriting(base.path))
        GTEST_SKIP() << "this system writes read-only files: ClearReadOnlyTest covers the clearing";
    Win32RecordStore store(base.path.c_str());
    ASSERT_EQ(Save(store, BytesOf("before")), kSuccess);
    const std::wstring temporary = base.RecordFolder() + L"\\original-values.tmp";
    ASSERT_TRUE(PlantFile(temporary));
    for (const std::wstring name :
         {L"original-values.reg", L"original-values.tmp", L"original-values.lock"}) {
        ASSERT_TRUE(MadeReadOnly(base.RecordFolder() + L"\\" + name));
    }
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(Save(store, BytesOf("after")), kSuccess);
    EXPECT_LT(GetTickCount64() - start, 500u) << "waited as if another handle were in the way";
    EXPECT_EQ(FileText(base.Record()), "after");
    EXPECT_EQ(FilesIn(base.RecordFolder()), kRecordAndLock);
}

}  // namespace
}  // namespace torvane
