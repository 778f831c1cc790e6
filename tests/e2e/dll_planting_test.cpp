#include <windows.h>

#include <gtest/gtest.h>
#include <string>

#include "app/control_ids.h"
#include "tests/e2e/app_driver.h"

namespace torvane::e2e {
namespace {

// The DLLs the program loads itself, after start-up has begun: the theming
// DLL, and the two that may hold the generator seeding the stack canary before
// wWinMain, which is before the search is restricted.
const wchar_t* const kPlantedNames[] = {L"uxtheme", L"cryptbase", L"bcrypt"};

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

namespace torvane::e2e {
namespace {

// A program named like the registry editor, planted beside the program or in
// the folder it was started in, where a search for "regedit" without a folder
// looks first.
struct RegeditPlant {
    const wchar_t* name;
    bool besideTheProgram;  // otherwise in the current folder
};
void PrintTo(const RegeditPlant& plant, std::ostream* out) {
    *out << Utf8(plant.name)
         << (plant.besideTheProgram ? " beside the program" : " in the current folder");
}

const std::wstring kPlantRoot = L"C:\\Torvane 下载";

class RegeditPlantingTest : public ::testing::TestWithParam<RegeditPlant> {
  protected:
    void SetUp() override {
        for (const std::wstring& folder : {kPlantRoot, programFolder, currentFolder})
            CreateDirectoryW(folder.c_str(), nullptr);
        // Windows, like Wine, keeps a program's file while it runs: a plant
        // an earlier case started may still be ending, and left in place it
        // would make this case's restore refuse. Only this case's plant may lie here.
        for (const std::wstring& folder : {programFolder, currentFolder}) {
            for (const wchar_t* name : {L"regedit.bat", L"regedit.cmd", L"regedit.com",
                                        L"regedit.exe", L"shell_opener.exe"}) {
                ASSERT_TRUE(RemoveFileWhenFree(folder + L"\\" + name)) << Utf8(name);
            }
        }
        ASSERT_TRUE(CopyFileW((ModuleFolder() + L"\\TorvaneRegTool.exe").c_str(),
                              (programFolder + L"\\TorvaneRegTool.exe").c_str(), FALSE));
        ASSERT_TRUE(PlantProgram(plant));
        AssociateRegFilesWithRegedit();
    }
    void TearDown() override {
        EXPECT_TRUE(RemoveFileWhenFree(plant));
        DeleteFileW(kPlantMarker.c_str());
    }
    // The .reg association names regedit.exe; the other plants only stand in
    // for the batch line's bare "regedit".
    bool OpensRegFiles() const { return std::wstring(GetParam().name) == L"regedit.exe"; }

    const std::wstring programFolder = kPlantRoot + L"\\程序";
    const std::wstring currentFolder = kPlantRoot + L"\\当前";
    const std::wstring plant =
        (GetParam().besideTheProgram ? programFolder : currentFolder) + L"\\" + GetParam().name;
};

TEST_P(RegeditPlantingTest, WithoutTheMendTheBatchLineWouldRunThePlant) {
    // The batch line, started as before: the interpreter in the program's
    // current folder, which is where the plant lies.
    const std::wstring batch = kPlantRoot + L"\\control.bat";
    HANDLE file = CreateFileW(batch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const std::string line = "regedit /e \"C:\\torvane-control.reg\"\r\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    const std::wstring plantFolder = plant.substr(0, plant.find_last_of(L'\\'));
    ASSERT_TRUE(RunToExit(L"cmd.exe /d /v:off /c \"\"" + batch + L"\"\"", plantFolder.c_str()));
    EXPECT_TRUE(PlantRan(std::chrono::seconds(5)));
    RemoveFileWhenFree(L"C:\\torvane-control.reg");
}

TEST_P(RegeditPlantingTest, WithoutTheMendTheShellWouldOpenTheFileWithThePlant) {
    if (!OpensRegFiles()) GTEST_SKIP() << "the association names regedit.exe only";
    // A program in the same place as ours that hands a .reg file to the shell
    // without looking at what the association would start.
    const std::wstring opener = programFolder + L"\\shell_opener.exe";
    ASSERT_TRUE(CopyFileW((ModuleFolder() + L"\\planted\\shell_opener.exe").c_str(), opener.c_str(),
                          FALSE));
    const std::wstring regFile = kPlantRoot + L"\\control.reg";
    WriteRegFile(regFile, L"Windows Registry Editor Version 5.00\r\n\r\n");
    ASSERT_TRUE(RunToExit(L"\"" + opener + L"\" \"" + regFile + L"\"", currentFolder.c_str()));
    EXPECT_TRUE(PlantRan(std::chrono::seconds(5)));
    EXPECT_TRUE(RemoveFileWhenFree(opener));
}

TEST_P(RegeditPlantingTest, BackupAndRestoreRunTheRealRegistryEditorOnly) {
    // A plant beside the program meets a double-click, which starts the
    // program in its own folder; the other is met when started from elsewhere.
    AppDriver app(programFolder + L"\\TorvaneRegTool.exe",
                  GetParam().besideTheProgram ? L"" : currentFolder);
    ASSERT_TRUE(app.WaitForMainWindow());
    const std::wstring exported = kPlantRoot + L"\\备份.reg";
    RemoveFileWhenFree(exported);

    app.ClickLabel(1);
    app.SelectItem(0);  // 备份注册表
    app.ClickButton(IDC_COMMAND1);
    auto save = app.WaitForDialog();
    ASSERT_TRUE(save);
    app.AnswerFileDialog(*save, exported);
    ASSERT_TRUE(app.WaitForDialogsToClose());
    EXPECT_TRUE(WaitForFileToExist(exported, std::chrono::seconds(30)))
        << "the export did not land at the chosen path";

    const std::wstring testKey = L"Software\\Torvane Plant Restore";
    RegDeleteKeyW(HKEY_CURRENT_USER, testKey.c_str());
    const std::wstring regFile = kPlantRoot + L"\\还原.reg";
    WriteRegFile(regFile, L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" +
                              testKey + L"]\r\n\"Restored\"=dword:00000001\r\n\r\n");
    app.SelectItem(1);  // 还原注册表
    app.ClickButton(IDC_COMMAND1);
    auto open = app.WaitForDialog();
    ASSERT_TRUE(open);
    app.AnswerFileDialog(*open, regFile);
    if (OpensRegFiles()) {
        // The shell would start the plant: refused, naming it, and nothing runs.
        auto refusal = app.WaitForDialog();
        ASSERT_TRUE(refusal);
        EXPECT_EQ(Utf8(refusal->title), Utf8(L"错误"));
        EXPECT_NE(refusal->text.find(plant), std::wstring::npos) << Utf8(refusal->text);
        app.PressDialogButton(*refusal, IDOK);
        ASSERT_TRUE(app.WaitForDialogsToClose());
        Sleep(500);
        EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, testKey, L"Restored"), std::nullopt);
    } else {
        ASSERT_TRUE(app.WaitForDialogsToClose());
        EXPECT_EQ(WaitForValue(HKEY_CURRENT_USER, testKey, L"Restored"), DwordBytes(1));
    }
    EXPECT_FALSE(PlantRan(std::chrono::milliseconds(500)));
    RegDeleteKeyW(HKEY_CURRENT_USER, testKey.c_str());
    RemoveFileWhenFree(exported);
}

INSTANTIATE_TEST_SUITE_P(
    Plants, RegeditPlantingTest,
    ::testing::Values(RegeditPlant{L"regedit.bat", true}, RegeditPlant{L"regedit.cmd", true},
                      RegeditPlant{L"regedit.com", true}, RegeditPlant{L"regedit.exe", true},
                      RegeditPlant{L"regedit.bat", false}, RegeditPlant{L"regedit.cmd", false},
                      RegeditPlant{L"regedit.com", false}, RegeditPlant{L"regedit.exe", false}),
    [](const ::testing::TestParamInfo<RegeditPlant>& info) {
        std::string name = Utf8(info.param.name);
        name[name.find('.')] = '_';
        return name + (info.param.besideTheProgram ? "_BesideTheProgram" : "_InTheCurrentFolder");
    });

}  // namespace
}  // namespace torvane::e2e
