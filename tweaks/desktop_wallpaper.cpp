// Desktop pictures: the logon wallpaper of the default profile, and the company
// theme page as the user's enforced wallpaper policy.
#include "tweaks/mod_regSetting.h"
#include "tweaks/registry_change.h"

namespace torvane::mod_regSetting {
namespace {

constexpr const wchar_t* kPictureFilter = L"背景图片(*.bmp)|*.bmp";
constexpr const wchar_t* kThemeQuestion =
    L"是否将桌面设置成“Corvanta公司的网页？”\r\n是：设置；否：取消当前设置网页";
constexpr const wchar_t* kThemeTitle = L"提示";
constexpr const wchar_t* kThemePageName = L"\\Lindor省Corvanta有限公司.htm";
constexpr const wchar_t* kCentredStyle = L"0";

}  // namespace

void SetLogonWallpaper(TweakContext& context) {
    context.commonDialog2.SetFilter(kPictureFilter);
    context.commonDialog2.ShowOpen();
    const std::wstring picture = context.commonDialog2.FileName();
    if (picture.empty()) return;
    ChangeRegistry(context, kDefaultUserDesktop,
                   {ValueChange::String(value_names::kWallpaper, picture)});
}

void SetThemeDesktop(TweakContext& context) {
    const bool setPage =
        context.dialogs.ShowMessageBox(kThemeQuestion, kButtonsYesNo, kThemeTitle) == kAnswerYes;
    if (setPage) {
        ChangeRegistry(context, kSystemPolicies,
                       {ValueChange::String(value_names::kWallpaper,
                                            context.shell.ProgramFolder() + kThemePageName),
                        ValueChange::String(value_names::kWallpaperStyle, kCentredStyle)});
    } else {
        // An empty wallpaper policy would force a blank desktop and lock the
        // user's own choice; removing the policy gives the choice back.
        ChangeRegistry(context, kSystemPolicies,
                       {ValueChange::Delete(value_names::kWallpaper),
                        ValueChange::Delete(value_names::kWallpaperStyle)});
    }
}

}  // namespace torvane::mod_regSetting
