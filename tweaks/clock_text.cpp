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
    const std::wstring morning = context.dialogs.ShowInputBox(kPrompt, kMorningTitle);
    const std::wstring afternoon = context.dialogs.ShowInputBox(kPrompt, kAfternoonTitle);
    // Lengths are UTF-16 code units, which is what the marker fields count.
    const size_t markerLength = std::max(morning.size(), afternoon.size());
    const std::wstring timeFormat = kTimePicture + std::wstring(markerLength, L't');
    ChangeRegistry(context, kInternational,
                   {ValueChange::String(value_names::kTimeFormat, timeFormat),
                    ValueChange::String(value_names::kMorningMarker, morning),
                    ValueChange::String(value_names::kAfternoonMarker, afternoon)});
}

}  // namespace torvane::mod_regSetting
