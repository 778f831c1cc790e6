#pragma once

#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "app/control_ids.h"
#include "tests/e2e/app_driver.h"

namespace torvane::e2e {

// The program copied into a folder whose path has a space and Chinese in it,
// started fresh for each test.
class EndToEndTest : public ::testing::Test {
  protected:
    static std::wstring InstallFolder() { return L"C:\\Program Files\\Torvane 工具"; }
    static std::wstring InstalledExe() { return InstallFolder() + L"\\TorvaneRegTool.exe"; }

    static void SetUpTestSuite() {
        CreateDirectoryW(L"C:\\Program Files", nullptr);
        CreateDirectoryW(InstallFolder().c_str(), nullptr);
        const std::wstring built = ModuleFolder() + L"\\TorvaneRegTool.exe";
        ASSERT_TRUE(CopyFileW(built.c_str(), InstalledExe().c_str(), FALSE))
            << "copy " << Utf8(built);
    }

    void SetUp() override {
        app = std::make_unique<AppDriver>(InstalledExe());
        ASSERT_TRUE(app->WaitForMainWindow()) << "the main window did not appear";
    }

    void TearDown() override {
        // Every test leaves the program without a dialog open and still usable.
        if (app && app->Running()) {
            EXPECT_TRUE(app->OpenDialogs().empty()) << "a dialog was left open";
        }
        app.reset();
    }

    // Label click, item selection and OK, as a user does it.
    void StartTask(int label, int index) {
        app->ClickLabel(label);
        app->SelectItem(index);
        app->ClickButton(IDC_COMMAND1);
    }

    // Starts a task that opens a file dialog and answers it with the path.
    void StartTaskWithFile(int label, int index, const std::wstring& path, bool accepted = true) {
        StartTask(label, index);
        auto dialog = app->WaitForDialog();
        ASSERT_TRUE(dialog) << "no file dialog";
        app->AnswerFileDialog(*dialog, path, accepted);
    }

    // The next dialog, which must come.
    DialogSeen ExpectDialog(const std::wstring& title) {
        auto dialog = app->WaitForDialog();
        EXPECT_TRUE(dialog.has_value()) << "no dialog titled " << Utf8(title);
        if (!dialog) return {};
        EXPECT_EQ(Utf8(dialog->title), Utf8(title));
        return *dialog;
    }

    void ExpectNoDialog() {
        app->Sync();
        EXPECT_TRUE(app->OpenDialogs().empty());
    }

    std::unique_ptr<AppDriver> app;
};

}  // namespace torvane::e2e
