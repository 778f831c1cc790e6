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

constexpr WrittenValue kLogonWallpaperWrites[]{
    {Branch::Always, value_names::kWallpaper, kRegSz, nullptr, L"你选择的图片的完整路径"}};
constexpr WrittenValue kThemeWrites[]{
    {Branch::Yes, value_names::kWallpaper, kRegSz, nullptr,
     L"本程序文件夹中“Lindor省Corvanta有限公司.htm”的路径"},
    {Branch::Yes, value_names::kWallpaperStyle, kRegSz, kCentredStyle, nullptr},
    {Branch::No, value_names::kWallpaper, kDeleted, nullptr, nullptr},
    {Branch::No, value_names::kWallpaperStyle, kDeleted, nullptr, nullptr}};

// The default profile's value, and the one the signed-in user's desktop shows.
constexpr ShownValue kLogonWallpaperValues[]{
    {L"当前值", kDefaultUserDesktop, value_names::kWallpaper},
    {L"你自己的值", kUserDesktop, value_names::kWallpaper}};
constexpr ShownValue kThemeValues[]{{L"当前值", kSystemPolicies, value_names::kWallpaper},
                                    {L"当前值", kSystemPolicies, value_names::kWallpaperStyle}};

}  // namespace

const TaskDescription kSetLogonWallpaperTip{
    &kDefaultUserDesktop,
    nullptr,
    kLogonWallpaperWrites,
    kLogonWallpaperValues,
    nullptr,
    L"不用：Windows 7 及以后的版本不再读取此值作为登录画面的背景，"
    L"Windows 10/11 在登录画面显示锁屏图片。导出的 .reg 文件写的是这台电脑上的路径。",
    L"不会生效。",
    kDefaultProfileAdmin};

const TaskDescription kSetThemeDesktopTip{
    &kSystemPolicies,
    nullptr,
    kThemeWrites,
    kThemeValues,
    nullptr,
    L"使用：策略“桌面墙纸”设置并锁定墙纸，样式 0 居中、1 平铺、2 拉伸。"
    L"本程序没有附带所指的网页，而 Windows 10/11 一般也不能把网页用作墙纸："
    L"选“是”后，下次登录时桌面背景一般是一片空白，并且在选“否”删除这项策略之前，"
    L"你无法更换墙纸。导出的 .reg 文件写的是这台电脑上的路径，在别的电脑上那里没有这个文件，"
    L"桌面同样会是空白并被锁定。\r\n"
    L"这两个值存在时，“设置 › 个性化 › 背景”可能被锁定，并显示“某些设置由你的组织管理”。\r\n"
    L"删除这两个值（选“否”或恢复原值）后，一般会解除锁定，提示也随之消失。\r\n"
    L"加入域的电脑上，组织的组策略可能改写或删除这两个值。",
    L"下次登录后。",
    kUserPolicyAdmin};

}  // namespace torvane::mod_regSetting
