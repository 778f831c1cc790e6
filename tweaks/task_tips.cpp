#include "tweaks/task_tips.h"

#include <string_view>

#include "tweaks/user_messages.h"

namespace torvane {
namespace {

// Long enough for any path a user would choose; a longer text is cut, so that
// every tip keeps its last lines.
constexpr size_t kShownCharacters = 100;

std::wstring ShownText(const std::vector<std::uint8_t>& bytes) {
    std::wstring text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto unit = static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == L'\0') break;
        // A line break inside the data must not look like the tip's next line.
        if (unit < L' ') unit = L' ';
        text += unit;
    }
    if (text.size() > kShownCharacters) {
        text.resize(kShownCharacters);
        if (text.back() >= 0xD800 && text.back() < 0xDC00) text.pop_back();  // half a pair
        text += L"…";
    }
    return text;
}

std::wstring DataText(const ReadResult& read) {
    if (read.kind == kRegDword && read.bytes.size() == 4) {
        const std::uint32_t number = read.bytes[0] | (read.bytes[1] << 8) | (read.bytes[2] << 16) |
                                     (static_cast<std::uint32_t>(read.bytes[3]) << 24);
        return std::to_wstring(number) + L"（REG_DWORD）";
    }
    if (read.kind == kRegSz || read.kind == kRegExpandSz) {
        return L"“" + ShownText(read.bytes) +
               (read.kind == kRegSz ? L"”（REG_SZ）" : L"”（REG_EXPAND_SZ）");
    }
    return L"（类型 " + std::to_wstring(read.kind) + L"，" + std::to_wstring(read.bytes.size()) +
           L" 字节）";
}

bool SameKey(const RegistryLocation* a, const RegistryLocation& b) {
    return a && a->root == b.root && std::wstring_view(a->path) == b.path;
}

std::wstring FullPath(const RegistryLocation& location) {
    return RootName(location.root) + L"\\" + location.path;
}

const wchar_t* ElevationText(ElevationState state) {
    switch (state) {
        case ElevationState::Elevated:
            return L"本程序现在有管理员权限。";
        case ElevationState::UnelevatedAdministrator:
            return L"本程序现在没有管理员权限（可以以管理员身份运行）。";
        case ElevationState::StandardUser:
            break;
    }
    return L"本程序现在没有管理员权限。";
}

}  // namespace

std::wstring DescribeTask(const TaskDescription& description, TweakContext& context) {
    const std::wstring lineBreak = messages::kLineBreak;
    std::wstring tip = L"修改：";
    if (description.key) {
        tip += FullPath(*description.key) + lineBreak;
    }
    tip += description.changes + lineBreak;

    bool anySet = false;
    for (const ShownValue& shown : description.values) {
        tip += std::wstring(shown.label) + L"：";
        if (!SameKey(description.key, shown.location)) {
            tip += FullPath(shown.location) + L" 中的 ";
        }
        tip += *shown.name ? shown.name : L"（默认）";
        const ReadResult read =
            context.registry.ReadValue(shown.location.root, shown.location.path, shown.name);
        if (read.error == kErrorFileNotFound) {
            tip += L" 未设置";
        } else if (read.error != kSuccess) {
            tip += L" 无法读取（" + context.shell.ErrorText(read.error) + L"）";
        } else {
            tip += L" = " + DataText(read);
            anySet = anySet || (read.kind == kRegDword && read.bytes.size() == 4 &&
                                (read.bytes[0] | read.bytes[1] | read.bytes[2] | read.bytes[3]));
        }
        tip += lineBreak;
    }
    if (anySet && description.whenSet) tip += description.whenSet + lineBreak;

    tip += L"Windows 10/11：";
    tip += description.windows + lineBreak;
    tip += L"生效：";
    tip += description.effect + lineBreak;
    tip += L"管理员权限：";
    tip += description.admin;
    tip += ElevationText(context.elevation.State());

    if (tip.size() >= kTipSizeLimit) {
        tip.resize(kTipSizeLimit - 2);
        tip += L"…";
    }
    return tip;
}

}  // namespace torvane
