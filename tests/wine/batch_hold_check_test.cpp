// The check that the batch file is still as written before it is held.
#include <windows.h>

#include <gtest/gtest.h>
#include <ostream>
#include <string>

#include "tests/wine/background_thread.h"
#include "tests/wine/batch_file_support.h"

namespace torvane {
namespace {

// The check between writing and holding, against each way the file could
// have been changed in between.
struct ChangeCase {
    const char* name;
    void (*change)(const std::wstring& path);
    bool held;
    bool changed;
    ErrorCode error;
};
void PrintTo(const ChangeCase& c, std::ostream* out) {
    *out << c.name;
}

const std::string kWritten = "regedit /e \"C:\\x.reg\"\r\n";

class HoldCheckTest : public BatchFileTest, public ::testing::WithParamInterface<ChangeCase> {};

// The identity of the file at the path, as WriteTextLine takes it.
FileIdentity IdentityAt(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    BY_HANDLE_FILE_INFORMATION information{};
    EXPECT_TRUE(GetFileInformationByHandle(file, &information));
    CloseHandle(file);
    return {information.dwVolumeSerialNumber, information.nFileIndexHigh,
            information.nFileIndexLow};
}

TEST_P(HoldCheckTest, OnlyTheFileAsWrittenIsHeld) {
    ASSERT_TRUE(WriteAll(batch, kWritten, CREATE_NEW));
    const FileIdentity written = IdentityAt(batch);

    GetParam().change(batch);
    if (!Exists(batch) && Exists(batch + L".aside"))
        GTEST_SKIP() << "no symbolic link was made (Wine 8 reports one made without making it)";
    TextFileResult result = HoldIfUnchanged(batch, written, kWritten);
    EXPECT_EQ(result.hold != nullptr, GetParam().held);
    EXPECT_EQ(result.changedAfterWriting, GetParam().changed);
    EXPECT_EQ(result.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, HoldCheckTest,
    ::testing::Values(ChangeCase{"Unchanged", [](const std::wstring&) {}, true, false, kSuccess},
                      ChangeCase{"ReplacedByAnotherFileWithTheSameBytes",
                                 [](const std::wstring& path) {
                                     // Made before the original goes, so it cannot reuse its index.
                                     const std::wstring twin = path + L".twin";
                                     WriteAll(twin, kWritten);
                                     MoveFileExW(twin.c_str(), path.c_str(),
                                                 MOVEFILE_REPLACE_EXISTING);
                                 },
                                 false, true, kSuccess},
                      ChangeCase{"MovedAsideForALinkToIt",
                                 [](const std::wstring& path) {
                                     const std::wstring aside = path + L".aside";
                                     MoveFileW(path.c_str(), aside.c_str());
                                     CreateSymbolicLinkW(path.c_str(), aside.c_str(), 0);
                                 },
                                 false, true, kSuccess},
                      ChangeCase{"RewrittenInPlace",
                                 [](const std::wstring& path) {
                                     WriteAll(path, "regedit /e \"C:\\y.reg\"\r\n", OPEN_EXISTING);
                                 },
                                 false, true, kSuccess},
                      ChangeCase{"Lengthened",
                                 [](const std::wstring& path) {
                                     WriteAll(path, kWritten + "evil.exe\r\n", OPEN_EXISTING);
                                 },
                                 false, true, kSuccess},
                      ChangeCase{"Shortened",
                                 [](const std::wstring& path) {
                                     WriteAll(path, kWritten.substr(0, 7), TRUNCATE_EXISTING);
                                 },
                                 false, true, kSuccess},
                      ChangeCase{"Gone",
                                 [](const std::wstring& path) { DeleteFileW(path.c_str()); }, false,
                                 false, static_cast<ErrorCode>(ERROR_FILE_NOT_FOUND)}),
    [](const auto& info) { return std::string(info.param.name); });

// A scanner or a sync client has the new file open for writing a while.
struct BusyCase {
    const char* name;
    DWORD holdMs;
    bool held;
};
void PrintTo(const BusyCase& c, std::ostream* out) {
    *out << c.name;
}

class HoldWhileBusyTest : public BatchFileTest, public ::testing::WithParamInterface<BusyCase> {};

TEST_P(HoldWhileBusyTest, WaitsABriefOpenOutAndGivesUpOnALongOne) {
    ASSERT_TRUE(WriteAll(batch, kWritten, CREATE_NEW));
    const FileIdentity written = IdentityAt(batch);
    TextFileResult result;
    {
        Background holder([&](std::atomic<bool>& ready) {
            HANDLE file =
                CreateFileW(batch.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
            ready = true;
            ASSERT_NE(file, INVALID_HANDLE_VALUE);
            Sleep(GetParam().holdMs);
            CloseHandle(file);
        });
        result = HoldIfUnchanged(batch, written, kWritten);
    }
    EXPECT_EQ(result.hold != nullptr, GetParam().held);
    EXPECT_EQ(result.error, GetParam().held ? kSuccess : ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(result.changedAfterWriting);
}

INSTANTIATE_TEST_SUITE_P(Holds, HoldWhileBusyTest,
                         ::testing::Values(BusyCase{"ForAMoment", 300, true},
                                           BusyCase{"PastTheRetries", 1600, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace torvane
