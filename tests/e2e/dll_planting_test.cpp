#include <windows.h>

#include <gtest/gtest.h>
#include <string>

#include "tests/e2e/app_driver.h"

namespace torvane::e2e {
namespace {

// The DLLs the program loads itself, after start-up has begun: the theming
// DLL, and the generator that seeds the stack canary before wWinMain.
const wchar_t* const kPlantedNames[] = {L"uxtheme", L"bcrypt"};

// Wine prefers its own DLLs; these settings make it take a native one from
// wherever the search finds one first, as Windows would.
const wchar_t* const kOverrides[] = {
    L"Software\\Wine\\AppDefaults\\TorvaneRegTool.exe\\DllOverrides",
    L"Software\\Wine\\AppDefaults\\unrestricted_loader.exe\\DllOverrides"};

class DllPlantingTest : public ::testing::TestWithParam<const wchar_t*> {
  protected:
    void SetUp() override {
        CreateDirectoryW(folder.c_str(), nullptr);
        const std::wstring built = ModuleFolder();
        ASSERT_TRUE(CopyFileW((built + L"\\TorvaneRegTool.exe").c_str(),
                              (folder + L"\\TorvaneRegTool.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((built + L"\\planted\\" + dll).c_str(),
                              (folder + L"\\" + dll).c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((built + L"\\planted\\unrestricted_loader.exe").c_str(),
                              (folder + L"\\unrestricted_loader.exe").c_str(), FALSE));
        DeleteFileW(marker.c_str());
        for (const wchar_t* key : kOverrides)
            SetString(HKEY_CURRENT_USER, key, GetParam(), L"native,builtin");
    }
    void TearDown() override {
        for (const wchar_t* key : kOverrides) RegDeleteTreeW(HKEY_CURRENT_USER, key);
        DeleteFileW((folder + L"\\" + dll).c_str());
    }
    bool PlantedWasLoaded() const {
        return GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    const std::wstring dll = std::wstring(GetParam()) + L".dll";
    const std::wstring folder = L"C:\\Torvane downloads";
    const std::wstring marker = folder + L"\\planted-dll-was-loaded.txt";
};

TEST_P(DllPlantingTest, AProgramWithoutTheRestrictionWouldLoadIt) {
    // Proves the set-up can catch this planted DLL at all.
    ASSERT_TRUE(RunToExit(L"\"" + folder + L"\\unrestricted_loader.exe\" " + dll, folder.c_str()));
    EXPECT_TRUE(PlantedWasLoaded());
}

TEST_P(DllPlantingTest, TheProgramIgnoresTheDllBesideItAndStartsNormally) {
    AppDriver app(folder + L"\\TorvaneRegTool.exe");
    ASSERT_TRUE(app.WaitForMainWindow());
    EXPECT_EQ(app.ListItems().size(), 4u);
    EXPECT_FALSE(PlantedWasLoaded());
}

INSTANTIATE_TEST_SUITE_P(PlantedBesideTheExe, DllPlantingTest, ::testing::ValuesIn(kPlantedNames),
                         [](const ::testing::TestParamInfo<const wchar_t*>& info) {
                             return Utf8(info.param);
                         });

}  // namespace
}  // namespace torvane::e2e
