#include "tweaks/task_tips.h"

#include <initializer_list>
#include <string_view>

#include "platform/numeric_text.h"
#include "tweaks/original_values.h"
#include "tweaks/user_messages.h"

namespace torvane {
namespace {

// Long enough for any path a user would choose; a longer text is cut, so that
// every tip keeps its last lines.
constexpr size_t kShownCharacters = 100;
constexpr size_t kShownOriginalCharacters = 40;

// One call for several pieces: the tips are built from many short texts, and
// the exe stays small when each piece is not a string operation of its own.
void Append(std::wstring& text, std::initializer_list<std::wstring_view> pieces) {
    for (std::wstring_view piece : pieces) text.append(piece);
}

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c < 0xDC00;
}

}  // namespace

void AppendShownText(std::wstring& tip, const std::vector<std::uint8_t>& bytes,
                     size_t maxCharacters) {
    size_t shown = 0;
    // Whole UTF-16 units only: an odd last byte is half a character.
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto unit = static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == L'\0') break;
        if (shown++ == maxCharacters) {
            if (!tip.empty() && IsHighSurrogate(tip.back())) tip.pop_back();  // half a pair
            tip += L'…';
            break;
        }
        // A line break inside the data must not look like the tip's next line.
        tip += unit < L' ' ? L' ' : unit;
    }
}

std::optional<std::uint32_t> DwordOf(const RegistryValue& value) {
    if (value.kind != kRegDword || value.bytes.size() != 4) return std::nullopt;
    return value.bytes[0] | (value.bytes[1] << 8) | (value.bytes[2] << 16) |
           (static_cast<std::uint32_t>(value.bytes[3]) << 24);
}

namespace {

const wchar_t* KindName(std::uint32_t kind) {
    return kind == kRegDword ? L"REG_DWORD" : L"REG_SZ";
}

bool SameKey(const RegistryLocation* a, const RegistryLocation& b) {
    return a && a->root == b.root && std::wstring_view(a->path) == b.path;
}

// "写入：a = 1（REG_DWORD）", "删除：a", each answer of a question on its own.
void AppendWrittenLine(std::wstring& tip, std::span<const WrittenValue> written) {
    bool first = true;
    for (const Branch branch : {Branch::Always, Branch::Yes, Branch::No}) {
        std::wstring sets;
        std::wstring deletes;
        for (const WrittenValue& value : written) {
            if (value.branch != branch) continue;
            if (value.kind == kDeleted) {
                Append(deletes, {deletes.empty() ? L"" : L"、", ShownName(value.name)});
                continue;
            }
            Append(sets, {sets.empty() ? L"" : L"，", ShownName(value.name), L" = "});
            if (!value.data) {
                sets += value.source;
            } else if (value.kind == kRegDword) {
                sets += value.data;
            } else {
                Append(sets, {L"“", value.data, L"”"});
            }
            Append(sets, {L"（", KindName(value.kind), L"）"});
        }
        const wchar_t* answer = branch == Branch::Yes  ? L"选“是”时"
                                : branch == Branch::No ? L"选“否”时"
                                                       : L"";
        for (const auto& [list, verb] : {std::pair{&sets, L"写入："}, {&deletes, L"删除："}}) {
            if (list->empty()) continue;
            Append(tip, {first ? L"" : L"；", answer, verb, *list});
            first = false;
        }
    }
}

const wchar_t* ElevationText(ElevationState state) {
    switch (state) {
        case ElevationState::Elevated:
            return L"本程序现在有管理员权限。";
        case ElevationState::UnelevatedAdministrator:
            return L"本程序现在没有管理员权限（你是管理员，可以以管理员身份重新启动本程序）。";
        case ElevationState::StandardUser:
            break;
    }
    return L"本程序现在没有管理员权限，你的账户也不是管理员。";
}

// Cuts the body so that body and tail fit the limit together: the tail (the
// rights and the originals) is what the user needs most, and always stays.
std::wstring Fit(std::wstring body, const std::wstring& tail) {
    constexpr size_t kRoom = kTipSizeLimit - 1;  // the NUL takes one
    const std::wstring_view cutMark = L"…\r\n";
    if (body.size() + tail.size() <= kRoom) return body + tail;
    if (tail.size() + cutMark.size() < kRoom) {
        body.resize(kRoom - tail.size() - cutMark.size());
        if (!body.empty() && IsHighSurrogate(body.back())) body.pop_back();
        body += cutMark;
        return body + tail;
    }
    std::wstring all = body + tail;
    all.resize(kRoom - 1);
    if (IsHighSurrogate(all.back())) all.pop_back();
    return all + L'…';
}

// What the record keeps of the task's values, and the two things the list's
// menu offers for a task that writes values.
void AppendOriginals(std::wstring& tip, const TaskDescription& description, TweakContext& context) {
    const std::wstring_view lineBreak = messages::kLineBreak;
    const OriginalsReading reading = ReadOriginals(context);
    if (!reading.problem.empty()) Append(tip, {lineBreak, L"原值记录无法读取：", reading.problem});
    bool any = false;
    for (const Original& original : reading.originals) {
        if (!BelongsTo(original, description)) continue;
        Append(tip, {lineBreak, L"原值：", ShownName(original.name), L" = "});
        AppendValueText(tip, original.value, kShownOriginalCharacters);
        any = true;
    }
    if (any) Append(tip, {lineBreak, L"右键单击可恢复原值。"});
    Append(tip, {lineBreak, L"右键单击可导出为 .reg 文件。"});
}

}  // namespace

const wchar_t* ShownName(const std::wstring& name) {
    return name.empty() ? L"（默认）" : name.c_str();
}

void AppendValueText(std::wstring& text, const std::optional<RegistryValue>& value,
                     size_t maxCharacters) {
    if (!value) {
        text += L"未设置";
    } else if (const auto number = DwordOf(*value)) {
        Append(text, {DecimalText(*number), L"（REG_DWORD）"});
    } else if (value->kind == kRegSz || value->kind == kRegExpandSz) {
        text += L'“';
        AppendShownText(text, value->bytes, maxCharacters);
        text += value->kind == kRegSz ? L"”（REG_SZ）" : L"”（REG_EXPAND_SZ）";
    } else {
        Append(text, {L"（类型 ", DecimalText(value->kind), L"，", DecimalText(value->bytes.size()),
                      L" 字节）"});
    }
}

std::wstring DescribeTask(const TaskDescription& description, TweakContext& context) {
    const std::wstring_view lineBreak = messages::kLineBreak;
    std::wstring body;
    if (description.key) {
        Append(body, {L"修改：", RootName(description.key->root), L"\\", description.key->path,
                      lineBreak});
        AppendWrittenLine(body, description.written);
    } else {
        Append(body, {L"作用：", description.purpose});
    }
    body += lineBreak;

    bool anySet = false;
    for (const ShownValue& shown : description.values) {
        Append(body, {shown.label, L"："});
        if (!SameKey(description.key, shown.location)) {
            Append(body, {RootName(shown.location.root), L"\\", shown.location.path, L" 中的 "});
        }
        body += ShownName(shown.name);
        const ReadResult read =
            context.registry.ReadValue(shown.location.root, shown.location.path, shown.name);
        if (read.error == kErrorFileNotFound) {
            body += L" 未设置";
        } else if (read.error != kSuccess) {
            Append(body, {L" 无法读取（", context.shell.ErrorText(read.error), L"）"});
        } else {
            const RegistryValue value{read.kind, read.bytes};
            body += L" = ";
            AppendValueText(body, value, kShownCharacters);
            anySet = anySet || DwordOf(value).value_or(0) != 0;
        }
        body += lineBreak;
    }
    if (anySet && description.whenSet) Append(body, {description.whenSet, lineBreak});
    Append(body, {L"Windows 10/11：", description.windows, lineBreak, L"生效：", description.effect,
                  lineBreak});

    std::wstring tail;
    Append(tail, {L"管理员权限：", description.admin, ElevationText(context.elevation.State())});
    if (description.key) AppendOriginals(tail, description, context);
    return Fit(std::move(body), tail);
}

}  // namespace torvane
