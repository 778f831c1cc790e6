#pragma once

#include <string>

#include "tests/native/test_support.h"

// Backup and restore against the fakes, for a program under Program Files.
namespace torvane {

const UiEvent kSaveDialog{L"ShowSave", L"CommonDialog1", L"注册表文件(*.reg)|*.reg", L"", -1,
                          L"reg"};
const UiEvent kOpenDialog{L"ShowOpen", L"CommonDialog1", L"注册表文件(*.reg)|*.reg", L"", -1};

class BackupTest : public testing::TaskTest {
  protected:
    void SetUp() override {
        TaskTest::SetUp();
        ui.commonDialog1.SetFilter(L"注册表文件(*.reg)|*.reg");  // as the window's load does
        ui.commonDialog1.SetDefaultExtension(L"reg");
        ui.programFolder = L"C:\\Program Files\\Torvane";
    }
    const std::wstring batchPath = L"C:\\Program Files\\Torvane\\BackUp.bat";
    const std::wstring commandLine =
        L"cmd.exe /d /v:off /c \"\"C:\\Program Files\\Torvane\\BackUp.bat\"\"";
};

}  // namespace torvane
