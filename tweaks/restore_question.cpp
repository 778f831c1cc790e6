#include "tweaks/restore_question.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "app/task_catalogue.h"
#include "platform/numeric_text.h"
#include "tweaks/original_record.h"
#include "tweaks/user_messages.h"

namespace torvane {
namespace {

constexpr size_t kShownCharacters = 100;  // of a text
// What the message box needs beside its text: title bar, margins, buttons.
constexpr int kLinesAroundTheText = 6;
// The first line and one task with one value, and the count of the rest.
constexpr int kFewestLines = 6;
// Two full-width spaces begin every value's line, and no other line.
constexpr std::wstring_view kIndent = L"\u3000\u3000";
constexpr std::wstring_view kLineBreak = messages::kLineBreak;

void Append(std::wstring& text, std::initializer_list<std::wstring_view> pieces) {
    for (std::wstring_view piece : pieces) text.append(piece);
}

// A DWORD as its number and a string in quotes, as a user would type them;
// other kinds say what they are.
void AppendData(std::wstring& text, const std::optional<RegistryValue>& value) {
    if (!value) {
        text += L"未设置";
    } else if (const auto number = DwordOf(*value)) {
        text += DecimalText(*number);
    } else if (value->kind == kRegSz) {
        text += L'“';
        AppendShownText(text, value->bytes, kShownCharacters);
        text += L'”';
    } else {
        AppendValueText(text, value, kShownCharacters);
    }
}

void AppendValueLine(std::wstring& text, TweakContext& context, const wchar_t* name,
                     const Original& original) {
    Append(text, {kLineBreak, kIndent, *name ? name : L"（默认）", L"：现在 "});
    if (const PresentValue now = Present(context, original)) {
        AppendData(text, *now);
    } else {
        text += L"无法读取";
    }
    text += L"，恢复为 ";
    AppendData(text, original.value);
    if (!original.value) text += L"（将删除此值）";
}

bool Listed(const std::vector<const Original*>& values, const Original& original) {
    return std::find(values.begin(), values.end(), &original) != values.end();
}

// Where the line after the one starting at start begins, or npos after the last.
size_t NextLine(const std::wstring& text, size_t start) {
    const size_t end = text.find(kLineBreak, start);
    return end == std::wstring::npos ? end : end + kLineBreak.size();
}

bool IsValueLine(const std::wstring& text, size_t start) {
    return text.compare(start, kIndent.size(), kIndent) == 0;
}

// Keeps the lines that fit, ending on a value so that no task or key stands
// without one, and counts the values left out on a last line.
void Cut(std::wstring& text, size_t room) {
    size_t lines = 0;
    size_t keptEnd = 0;  // where the last line kept ends
    size_t left = 0;     // values past it
    for (size_t start = 0; start != std::wstring::npos; start = NextLine(text, start)) {
        ++lines;
        if (!IsValueLine(text, start)) continue;
        // room - 1 lines at most, for the count takes the last
        if (lines < room) {
            keptEnd = text.find(kLineBreak, start);
        } else {
            ++left;
        }
    }
    if (lines <= room) return;
    text.resize(keptEnd);
    Append(text, {kLineBreak, L"……另有 ", DecimalText(left), L" 项"});
}

}  // namespace

RestoreQuestion BuildRestoreQuestion(TweakContext& context, const std::vector<Original>& originals,
                                     const TaskDescription* task) {
    RestoreQuestion question{L"是否把以下值恢复为原值？", {}};
    std::wstring& text = question.text;
    for (const TaskCategory& category : TaskCatalogue()) {
        for (const TaskEntry& entry : category.tasks) {
            const TaskDescription& description = *entry.description;
            if (!description.key || (task && &description != task)) continue;
            const size_t groupStart = text.size();
            Append(text,
                   {kLineBreak, kLineBreak, L"【", entry.text, L"】", kLineBreak, L"注册表项：",
                    RootName(description.key->root), L"\\", description.key->path});
            const size_t valuesBefore = question.values.size();
            // In the order the task's list names them, and each once, though
            // both answers or two tasks name it.
            for (const WrittenValue& written : description.written) {
                for (const Original& original : originals) {
                    if (!SameRegistryName(original.name, written.name) ||
                        !BelongsTo(original, description) || Listed(question.values, original)) {
                        continue;
                    }
                    AppendValueLine(text, context, written.name, original);
                    question.values.push_back(&original);
                }
            }
            if (question.values.size() == valuesBefore) text.resize(groupStart);
        }
    }
    const int lines = context.dialogs.MessageBoxLineCapacity();
    Cut(text, static_cast<size_t>(std::max(lines - kLinesAroundTheText, kFewestLines)));
    return question;
}

}  // namespace torvane
