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

namespace {

// The default profile's value, and the one the signed-in user's desktop shows.
constexpr ShownValue kLogonWallpaperValues[]{
    {L"当前值", kDefaultUserDesktop, value_names::kWallpaper},
    {L"你自己的值", kUserDesktop, value_names::kWallpaper}};
constexpr ShownValue kThemeValues[]{{L"当前值", kSystemPolicies, value_names::kWallpaper},
                                    {L"当前值", kSystemPolicies, value_names::kWallpaperStyle}};

}  // namespace

const TaskDescription kSetLogonWallpaperTip{
    &kDefaultUserDesktop,
    L"写入：Wallpaper = 你选择的图片的完整路径（REG_SZ）",
    kLogonWallpaperValues,
    nullptr,
    L"不用：Windows 7 及以后的版本不再读取此值作为登录画面的背景，"
    L"Windows 10/11 在登录画面显示锁屏图片。",
    L"不会生效。",
    L"一般需要。"};

const TaskDescription kSetThemeDesktopTip{
    &kSystemPolicies,
    L"写入：Wallpaper = 本程序文件夹中“Lindor省Corvanta有限公司.htm”的路径，"
    L"Wallpaperstyle = “0”（均为 REG_SZ）；选“否”时删除这两个值",
    kThemeValues,
    nullptr,
    L"使用：策略“桌面墙纸”设置并锁定墙纸。登录时文件不存在则不显示墙纸。"
    L"样式 0 居中、1 平铺、2 拉伸。",
    L"下次登录后。",
    L"一般不需要。"};

}  // namespace torvane::mod_regSetting
