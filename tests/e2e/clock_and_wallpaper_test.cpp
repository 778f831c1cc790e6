// The taskbar clock's texts and the two wallpapers, through the real window.
#include <string>

#include "tests/e2e/task_menu_fixture.h"
#include "tests/e2e/tweak_values.h"

namespace torvane::e2e {
namespace {

const std::wstring kInternational = L"Control Panel\\International";

using ClockTextEndToEndTest = EndToEndTest;

TEST_F(ClockTextEndToEndTest, WritesTheTimePictureAndBothMarkersByteForByte) {
    ValueGuard format({HKEY_CURRENT_USER, kInternational, L"sTimeFormat"});
    ValueGuard morning({HKEY_CURRENT_USER, kInternational, L"s1159"});
    ValueGuard afternoon({HKEY_CURRENT_USER, kInternational, L"s2359"});
    // Thai and an emoji: neither exists in code page 936, both must survive.
    const std::wstring morningText = L"AM\u0E01";
    const std::wstring afternoonText = L"下午\xD83D\xDE00";
    StartTask(3, 3);
    DialogSeen first = ExpectDialog(L"在上午显示的字符");
    EXPECT_EQ(Utf8(first.text), Utf8(L"输入字符"));
    app->AnswerInputBox(first, morningText);
    DialogSeen second = ExpectDialog(L"在下午显示的字符");
    app->AnswerInputBox(second, afternoonText);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kInternational, L"sTimeFormat"),
              StringBytes(L"HH:mm:ss:tttt"));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kInternational, L"s1159"), StringBytes(morningText));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kInternational, L"s2359"), StringBytes(afternoonText));
}

// Escape in the afternoon box, a real key: the user's own markers stay.
TEST_F(ClockTextEndToEndTest, CancelInTheSecondBoxWritesNothing) {
    ValueGuard format({HKEY_CURRENT_USER, kInternational, L"sTimeFormat"});
    ValueGuard morning({HKEY_CURRENT_USER, kInternational, L"s1159"});
    SetString(HKEY_CURRENT_USER, kInternational, L"sTimeFormat", L"tt h:mm");
    SetString(HKEY_CURRENT_USER, kInternational, L"s1159", L"上午");
    StartTask(3, 3);
    app->AnswerInputBox(ExpectDialog(L"在上午显示的字符"), L"早");
    DialogSeen second = ExpectDialog(L"在下午显示的字符");
    SetForegroundWindow(second.handle);
    Press(VK_ESCAPE);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kInternational, L"sTimeFormat"),
              StringBytes(L"tt h:mm"));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kInternational, L"s1159"), StringBytes(L"上午"));
}

using WallpaperEndToEndTest = EndToEndTest;

TEST_F(WallpaperEndToEndTest, LogonWallpaperStoresTheChosenPath) {
    ValueGuard guard({HKEY_USERS, kDefaultDesktop, L"Wallpaper"});
    const std::wstring folder = L"C:\\壁纸 图片";
    const std::wstring picture = folder + L"\\海边 1.bmp";
    CreateDirectoryW(folder.c_str(), nullptr);
    CloseHandle(CreateFileW(picture.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    StartTaskWithFile(3, 0, picture);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(ReadValue(HKEY_USERS, kDefaultDesktop, L"Wallpaper"), StringBytes(picture));
}

TEST_F(WallpaperEndToEndTest, LogonWallpaperCancelWritesNothing) {
    ValueGuard guard({HKEY_USERS, kDefaultDesktop, L"Wallpaper"});
    StartTask(3, 0);
    auto dialog = app->WaitForDialog();
    ASSERT_TRUE(dialog);
    app->PressDialogButton(*dialog, IDCANCEL);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(ReadValue(HKEY_USERS, kDefaultDesktop, L"Wallpaper"), std::nullopt);
}

TEST_F(WallpaperEndToEndTest, ThemeDesktopYesThenNo) {
    ValueGuard wallpaper({HKEY_CURRENT_USER, kSystemPolicy, L"Wallpaper"});
    ValueGuard style({HKEY_CURRENT_USER, kSystemPolicy, L"Wallpaperstyle"});
    const std::wstring question =
        L"是否将桌面设置成\u201CCorvanta公司的网页？\u201D\r\n是：设置；否：取消当前设置网页";
    StartTask(3, 4);
    DialogSeen yes = ExpectDialog(L"提示");
    EXPECT_EQ(Utf8(yes.text), Utf8(question));
    app->PressDialogButton(yes, IDYES);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kSystemPolicy, L"Wallpaper"),
              StringBytes(InstallFolder() + L"\\Lindor省Corvanta有限公司.htm"));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kSystemPolicy, L"Wallpaperstyle"), StringBytes(L"0"));

    app->ClickButton(IDC_COMMAND1);
    app->PressDialogButton(ExpectDialog(L"提示"), IDNO);
    ASSERT_TRUE(app->WaitForDialogsToClose());
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kSystemPolicy, L"Wallpaper"), std::nullopt);
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kSystemPolicy, L"Wallpaperstyle"), std::nullopt);
}

}  // namespace
}  // namespace torvane::e2e
