#include <gtest/gtest.h>

#include "tests/native/test_support.h"
#include "tweaks/mod_regSetting.h"

namespace torvane {
namespace {

using namespace mod_regSetting;

const std::wstring kDefaultDesktop = L".DEFAULT\\Control Panel\\Desktop";
const std::wstring kPolicy = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const UiEvent kOpenPicture{L"ShowOpen", L"CommonDialog2", L"背景图片(*.bmp)|*.bmp", L"", -1};
const UiEvent kThemeQuestion = MessageBoxEvent(
    L"是否将桌面设置成\u201CCorvanta公司的网页\uFF1F\u201D\r\n是\uFF1A设置\uFF1B否\uFF1A取消当前设"
    L"置网页",
    4, L"提示");

class LogonWallpaperTest : public testing::TaskTest,
                           public ::testing::WithParamInterface<std::wstring> {};

TEST_P(LogonWallpaperTest, StoresTheChosenPathUntested) {
    ui.commonDialog2.answers = {GetParam()};
    SetLogonWallpaper(context);
    EXPECT_EQ(ui.log, std::vector<UiEvent>{kOpenPicture});
    EXPECT_EQ(registry.Value(RegistryRoot::Users, kDefaultDesktop, L"Wallpaper"),
              StringValue(GetParam()));
    EXPECT_EQ(registry.ValueCount(), 1u);
    EXPECT_EQ(registry.openLog, (std::vector<std::pair<RegistryRoot, std::wstring>>{
                                    {RegistryRoot::Users, kDefaultDesktop}}));
}

INSTANTIATE_TEST_SUITE_P(Paths, LogonWallpaperTest,
                         ::testing::Values(L"C:\\Pictures\\sea.bmp", L"D:\\图片\\风景\\海边.bmp",
                                           L"C:\\Pictures\\photo.jpg", L"C:\\nowhere\\missing.bmp",
                                           L"C:\\caf\u00E9\\\u0E01.bmp"));

TEST_F(LogonWallpaperTest, CancelTouchesNothingAndNeverUsesTheRegistryDialog) {
    ui.commonDialog1.SetFilter(L"注册表文件(*.reg)|*.reg");
    ui.commonDialog2.answers = {L""};
    SetLogonWallpaper(context);
    EXPECT_EQ(ui.log, std::vector<UiEvent>{kOpenPicture});
    EXPECT_TRUE(registry.openLog.empty());
    EXPECT_EQ(ui.commonDialog1.Filter(), L"注册表文件(*.reg)|*.reg");
}

TEST_F(LogonWallpaperTest, CancelAfterAnEarlierChoiceStillEndsTheTask) {
    ui.commonDialog2.answers = {L"C:\\a.bmp", L""};
    SetLogonWallpaper(context);
    registry.Put(RegistryRoot::Users, kDefaultDesktop, L"Wallpaper", StringValue(L"kept"));
    SetLogonWallpaper(context);
    EXPECT_EQ(registry.Value(RegistryRoot::Users, kDefaultDesktop, L"Wallpaper"),
              StringValue(L"kept"));
}

class ThemeDesktopTest : public testing::TaskTest {
  protected:
    std::optional<StoredValue> Stored(const wchar_t* name) {
        return registry.Value(RegistryRoot::CurrentUser, kPolicy, name);
    }
};

TEST_F(ThemeDesktopTest, YesPointsTheWallpaperPolicyAtThePage) {
    ui.programFolder = L"C:\\Program Files\\Torvane";
    ui.messageBoxAnswers = {kAnswerYes};
    SetThemeDesktop(context);
    EXPECT_EQ(ui.log, std::vector<UiEvent>{kThemeQuestion});
    EXPECT_EQ(Stored(L"Wallpaper"),
              StringValue(L"C:\\Program Files\\Torvane\\Lindor省Corvanta有限公司.htm"));
    EXPECT_EQ(Stored(L"Wallpaperstyle"), StringValue(L"0"));
    EXPECT_EQ(registry.ValueNames(RegistryRoot::CurrentUser, kPolicy),
              (std::vector<std::wstring>{L"Wallpaper", L"Wallpaperstyle"}));
    EXPECT_EQ(registry.requests, (std::vector<RegistryRequest>{{L"CreateKey", kPolicy},
                                                               {L"SetString", L"Wallpaper"},
                                                               {L"SetString", L"Wallpaperstyle"},
                                                               {L"CloseKey", L""}}));
}

TEST_F(ThemeDesktopTest, NoAfterYesRemovesBothPolicyValues) {
    registry.Put(RegistryRoot::CurrentUser, kPolicy, L"DisableRegistryTools", DwordValue(1));
    ui.messageBoxAnswers = {kAnswerYes, kAnswerNo};
    SetThemeDesktop(context);
    SetThemeDesktop(context);
    EXPECT_EQ(ui.log, (std::vector<UiEvent>{kThemeQuestion, kThemeQuestion}));
    EXPECT_EQ(Stored(L"Wallpaper"), std::nullopt);
    EXPECT_EQ(Stored(L"Wallpaperstyle"), std::nullopt);
    EXPECT_EQ(Stored(L"DisableRegistryTools"), DwordValue(1)) << "other policies stay";
    const std::vector<RegistryRequest> noBranch{{L"CreateKey", kPolicy},
                                                {L"DeleteValue", L"Wallpaper"},
                                                {L"DeleteValue", L"Wallpaperstyle"},
                                                {L"CloseKey", L""}};
    EXPECT_EQ(std::vector<RegistryRequest>(registry.requests.end() - 4, registry.requests.end()),
              noBranch);
}

TEST_F(ThemeDesktopTest, NoWhenTheKeyWasMissingCreatesItEmpty) {
    ui.messageBoxAnswers = {kAnswerNo};
    SetThemeDesktop(context);
    EXPECT_TRUE(registry.KeyExists(RegistryRoot::CurrentUser, kPolicy));
    EXPECT_EQ(registry.ValueCount(), 0u);
    EXPECT_EQ(ui.log.size(), 1u) << "absent values are removed silently";
}

TEST_F(ThemeDesktopTest, AnyOtherAnswerTakesTheNoBranch) {
    registry.Put(RegistryRoot::CurrentUser, kPolicy, L"Wallpaper", StringValue(L"x"));
    ui.messageBoxAnswers = {kAnswerOk};
    SetThemeDesktop(context);
    EXPECT_EQ(Stored(L"Wallpaper"), std::nullopt);
}

}  // namespace
}  // namespace torvane
