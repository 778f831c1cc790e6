// The record of originals when other programs hold its files or mark them read-only.
#include <windows.h>

#include <gtest/gtest.h>
#include <ostream>

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

}  // namespace
}  // namespace torvane
