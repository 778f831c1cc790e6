#include "tweaks/task_tips.h"

#include <initializer_list>
#include <optional>
#include <string_view>

#include "tweaks/user_messages.h"

namespace torvane {
namespace {

// Long enough for any path a user would choose; a longer text is cut, so that
// every tip keeps its last lines.
constexpr size_t kShownCharacters = 100;

// One call for several pieces: the tips are built from many short texts, and
// the exe stays small when each piece is not a string operation of its own.
void Append(std::wstring& text, std::initializer_list<std::wstring_view> pieces) {
    for (std::wstring_view piece : pieces) text.append(piece);
}

void AppendShownText(std::wstring& tip, const std::vector<std::uint8_t>& bytes) {
    size_t shown = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto unit = static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == L'\0') break;
        if (shown++ == kShownCharacters) {
            if (tip.back() >= 0xD800 && tip.back() < 0xDC00) tip.pop_back();  // half a pair
            tip += L'…';
            break;
        }
        // A line break inside the data must not look like the tip's next line.
        tip += unit < L' ' ? L' ' : unit;
    }
}

// The number a REG_DWORD holds, if the value is one.
std::optional<std::uint32_t> DwordOf(const ReadResult& read) {
    if (read.kind != kRegDword || read.bytes.size() != 4) return std::nullopt;
    return read.bytes[0] | (read.bytes[1] << 8) | (read.bytes[2] << 16) |
           (static_cast<std::uint32_t>(read.bytes[3]) << 24);
}

void AppendData(std::wstring& tip, const ReadResult& read) {
    if (const auto number = DwordOf(read)) {
        Append(tip, {std::to_wstring(*number), L"（REG_DWORD）"});
    } else if (read.kind == kRegSz || read.kind == kRegExpandSz) {
        tip += L'“';
        AppendShownText(tip, read.bytes);
        tip += read.kind == kRegSz ? L"”（REG_SZ）" : L"”（REG_EXPAND_SZ）";
    } else {
        Append(tip, {L"（类型 ", std::to_wstring(read.kind), L"，",
                     std::to_wstring(read.bytes.size()), L" 字节）"});
    }
}

bool SameKey(const RegistryLocation* a, const RegistryLocation& b) {
    return a && a->root == b.root && std::wstring_view(a->path) == b.path;
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
    const std::wstring_view lineBreak = messages::kLineBreak;
    std::wstring tip = L"修改：";
    if (description.key) {
        Append(tip, {RootName(description.key->root), L"\\", description.key->path, lineBreak});
    }
    Append(tip, {description.changes, lineBreak});

    bool anySet = false;
    for (const ShownValue& shown : description.values) {
        Append(tip, {shown.label, L"："});
        if (!SameKey(description.key, shown.location)) {
            Append(tip, {RootName(shown.location.root), L"\\", shown.location.path, L" 中的 "});
        }
        tip += *shown.name ? shown.name : L"（默认）";
        const ReadResult read =
            context.registry.ReadValue(shown.location.root, shown.location.path, shown.name);
        if (read.error == kErrorFileNotFound) {
            tip += L" 未设置";
        } else if (read.error != kSuccess) {
            Append(tip, {L" 无法读取（", context.shell.ErrorText(read.error), L"）"});
        } else {
            tip += L" = ";
            AppendData(tip, read);
            anySet = anySet || DwordOf(read).value_or(0) != 0;
        }
        tip += lineBreak;
    }
    if (anySet && description.whenSet) Append(tip, {description.whenSet, lineBreak});

    Append(tip, {L"Windows 10/11：", description.windows, lineBreak, L"生效：", description.effect,
                 lineBreak, L"管理员权限：", description.admin,
                 ElevationText(context.elevation.State())});
    if (tip.size() >= kTipSizeLimit) {
        tip.resize(kTipSizeLimit - 2);
        tip += L'…';
    }
    return tip;
}

}  // namespace torvane
