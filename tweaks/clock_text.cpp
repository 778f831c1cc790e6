// Text behind the taskbar clock: a 24-hour time picture followed by one time
// marker field per character of the longer of the two texts.
#include <algorithm>

#include "tweaks/mod_regSetting.h"
#include "tweaks/registry_change.h"

namespace torvane::mod_regSetting {
namespace {

constexpr const wchar_t* kPrompt = L"输入字符";
constexpr const wchar_t* kMorningTitle = L"在上午显示的字符";
constexpr const wchar_t* kAfternoonTitle = L"在下午显示的字符";
constexpr const wchar_t* kTimePicture = L"HH:mm:ss:";

}  // namespace

void SetClockText(TweakContext& context) {
    // Cancel ends the task: written as empty texts, a cancel would wipe the
    // user's own markers and look like any other end.
    const auto morningBox = context.dialogs.ShowInputBox(kPrompt, kMorningTitle);
    if (!morningBox) return;
    const auto afternoonBox = context.dialogs.ShowInputBox(kPrompt, kAfternoonTitle);
    if (!afternoonBox) return;
    const std::wstring& morning = *morningBox;
    const std::wstring& afternoon = *afternoonBox;
    // Lengths are UTF-16 code units, which is what the marker fields count.
    const size_t markerLength = std::max(morning.size(), afternoon.size());
    const std::wstring timeFormat = kTimePicture + std::wstring(markerLength, L't');
    const bool written =
        ChangeRegistry(context, kInternational,
                       {ValueChange::String(value_names::kTimeFormat, timeFormat),
                        ValueChange::String(value_names::kMorningMarker, morning),
                        ValueChange::String(value_names::kAfternoonMarker, afternoon)});
    // Programs keep a copy of the regional settings: written behind their
    // back, the new format would reach them only at the next sign-in.
    if (written && context.settingBroadcast)
        context.settingBroadcast->SettingChanged(kInternationalArea);
}

namespace {

constexpr WrittenValue kClockWrites[]{
    {Branch::Always, value_names::kTimeFormat, kRegSz, nullptr,
     L"“HH:mm:ss:”加上与较长文字等长的一串 t"},
    {Branch::Always, value_names::kMorningMarker, kRegSz, nullptr, L"你输入的上午文字"},
    {Branch::Always, value_names::kAfternoonMarker, kRegSz, nullptr, L"你输入的下午文字"}};

constexpr ShownValue kClockValues[]{{L"当前值", kInternational, value_names::kTimeFormat},
                                    {L"当前值", kInternational, value_names::kMorningMarker},
                                    {L"当前值", kInternational, value_names::kAfternoonMarker}};

}  // namespace

const TaskDescription kSetClockTextTip{
    &kInternational,
    nullptr,
    kClockWrites,
    kClockValues,
    nullptr,
    L"部分使用：上午、下午标记最多 14 个字符，一般只在含 tt 的时间格式中显示；"
    L"自 Windows 7 起任务栏时钟一般按短时间格式显示，而不是这里的 sTimeFormat。"
    L"所有程序中的时间文字都会改变。",
    L"本程序写入后立即通知正在运行的程序，它们一般随即改用新的时间格式；"
    L"任务栏时钟可能要到下次登录后才显示新的文字。",
    kOwnSettingAdmin};

}  // namespace torvane::mod_regSetting
