// Settings typed as a number in an input box. Every input is tested before any
// key is opened, in a fixed order, and each rejection shows exactly one message.
#include <cstdint>
#include <optional>

#include "platform/numeric_text.h"
#include "tweaks/mod_regSetting.h"
#include "tweaks/registry_change.h"
#include "tweaks/user_messages.h"

namespace torvane::mod_regSetting {
namespace {

constexpr const wchar_t* kPrompt = L"输入数字";
constexpr const wchar_t* kPercentTitle = L"按百分比输入";
constexpr const wchar_t* kSecondsTitle = L"输入秒数";
constexpr const wchar_t* kDefaultThreshold = L"8";
constexpr const wchar_t* kDefaultIconSize = L"32";
constexpr const wchar_t* kDefaultTimeoutSeconds = L"20";

constexpr const wchar_t* kEmptyMessage = L"不能为空";
constexpr const wchar_t* kNotNumberMessage = L"输入的不是数字";
constexpr const wchar_t* kNotPercentMessage = L"输入的数字不是0至100";
constexpr const wchar_t* kOutOfRangeMessage = L"输入的数字超出范围";

constexpr int kMillisecondsPowerOfTen = 3;
constexpr std::int64_t kLargestDword = 4294967295LL;

void ShowError(TweakContext& context, const wchar_t* message) {
    context.dialogs.ShowMessageBox(message, kButtonsOkOnly, messages::kErrorTitle);
}

// Asks for a number; the text when it is one, after telling the user otherwise.
std::optional<std::wstring> AskForNumber(TweakContext& context, const wchar_t* title,
                                         const wchar_t* defaultText) {
    // Cancel gets the same answer as an emptied box.
    std::wstring typed = context.dialogs.ShowInputBox(kPrompt, title, defaultText).value_or(L"");
    if (typed.empty()) {
        ShowError(context, kEmptyMessage);
        return std::nullopt;
    }
    if (!IsNumericText(typed)) {
        ShowError(context, kNotNumberMessage);
        return std::nullopt;
    }
    return typed;
}

}  // namespace

void SetDiskSpaceThreshold(TweakContext& context) {
    const auto typed = AskForNumber(context, kPercentTitle, kDefaultThreshold);
    if (!typed) return;
    const double percent = *ReadReal(*typed);
    if (percent < 0 || percent > 100) {
        ShowError(context, kNotPercentMessage);
        return;
    }
    const auto threshold = static_cast<std::uint32_t>(*ReadWhole(*typed));
    ChangeRegistry(context, kLanmanServerParameters,
                   {ValueChange::Dword(value_names::kDiskSpaceThreshold, threshold)});
}

void SetDesktopIconSize(TweakContext& context) {
    const auto typed = AskForNumber(context, kPercentTitle, kDefaultIconSize);
    if (!typed) return;
    // Windows reads this value with plain integer parsing, so "1e2" or "48.0"
    // would be cut short; store the whole number the text stands for.
    const std::int64_t size = *ReadWhole(*typed);
    ChangeRegistry(context, kWindowMetrics,
                   {ValueChange::String(value_names::kShellIconSize, DecimalText(size))});
}

void SetHungAppTimeout(TweakContext& context) {
    const auto typed = AskForNumber(context, kSecondsTitle, kDefaultTimeoutSeconds);
    if (!typed) return;
    // Seconds become milliseconds arithmetically: "2.5" must mean 2500, not "2.5000".
    const std::int64_t milliseconds = *ReadWhole(*typed, kMillisecondsPowerOfTen);
    // The sign is judged on the number typed: "-0.0004" is a negative wait,
    // even though it rounds to 0 ms.
    if (*ReadReal(*typed) < 0 || milliseconds > kLargestDword) {
        ShowError(context, kOutOfRangeMessage);
        return;
    }
    ChangeRegistry(
        context, kDefaultUserDesktop,
        {ValueChange::String(value_names::kWaitToKillAppTimeout, DecimalText(milliseconds))});
}

namespace {

constexpr WrittenValue kThresholdWrites[]{{Branch::Always, value_names::kDiskSpaceThreshold,
                                           kRegDword, nullptr, L"你输入的百分比，取整"}};
constexpr WrittenValue kIconSizeWrites[]{
    {Branch::Always, value_names::kShellIconSize, kRegSz, nullptr, L"你输入的数字，取整"}};
constexpr WrittenValue kTimeoutWrites[]{{Branch::Always, value_names::kWaitToKillAppTimeout, kRegSz,
                                         nullptr, L"你输入的秒数 × 1000，即毫秒数"}};

constexpr ShownValue kThresholdValue[]{
    {L"当前值", kLanmanServerParameters, value_names::kDiskSpaceThreshold}};
constexpr ShownValue kIconSizeValue[]{{L"当前值", kWindowMetrics, value_names::kShellIconSize}};
// The default profile's value, and the one the signed-in user's session uses.
constexpr ShownValue kTimeoutValues[]{
    {L"当前值", kDefaultUserDesktop, value_names::kWaitToKillAppTimeout},
    {L"你自己的值", kUserDesktop, value_names::kWaitToKillAppTimeout}};

}  // namespace

const TaskDescription kSetDiskSpaceThresholdTip{
    &kLanmanServerParameters,
    nullptr,
    kThresholdWrites,
    kThresholdValue,
    nullptr,
    L"实际上不用：它是 Server 服务的警报阈值（0–99%，未设置时为 10），而发出警报的 Alerter "
    L"服务自 Windows Vista 起已不存在，所以一般不会再发出这种警报；"
    L"它一般也与 Windows 自己的磁盘空间不足提示无关。",
    L"一般在 Server 服务重启或电脑重新启动后。",
    kMachineKeyAdmin};

const TaskDescription kSetDesktopIconSizeTip{
    &kWindowMetrics,
    nullptr,
    kIconSizeWrites,
    kIconSizeValue,
    nullptr,
    L"桌面上一般看不出效果：Windows Vista 及以后的版本按桌面自己的“查看”设置决定图标大小"
    L"（桌面右键菜单 › 查看，或 Ctrl + 鼠标滚轮）。未设置时用系统默认值。",
    L"一般不会生效。",
    kOwnSettingAdmin};

const TaskDescription kSetHungAppTimeoutTip{
    &kDefaultUserDesktop,
    nullptr,
    kTimeoutWrites,
    kTimeoutValues,
    nullptr,
    L"大多不用：.DEFAULT 是 LocalSystem 账户的配置，不是登录用户的；"
    L"登录用户用的是自己的值，未设置时为 5000 毫秒。",
    L"一般在下次关机时。",
    kDefaultProfileAdmin};

}  // namespace torvane::mod_regSetting
