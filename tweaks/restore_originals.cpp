// Putting originals back: the question, the writes, and what the record keeps
// afterwards.
#include <algorithm>
#include <optional>

#include "tweaks/failure_report.h"
#include "tweaks/original_record.h"
#include "tweaks/original_values.h"
#include "tweaks/registry_change.h"
#include "tweaks/restore_question.h"
#include "tweaks/user_messages.h"

namespace torvane {
namespace {

bool InInternational(const Original& original) {
    return original.root == kInternational.root &&
           SameRegistryName(original.path, kInternational.path);
}

}  // namespace

void RestoreOriginals(TweakContext& context, const TaskDescription* task) {
    if (!context.originals) return;
    const OriginalsReading reading = ReadOriginals(context);
    if (!reading.problem.empty()) {
        context.dialogs.ShowMessageBox(L"原值记录无法读取：" + reading.problem, kButtonsOkOnly,
                                       messages::kErrorTitle);
        return;
    }
    const RestoreQuestion question = BuildRestoreQuestion(context, reading.originals, task);
    if (question.values.empty()) return;
    if (context.dialogs.ShowMessageBox(question.text, kButtonsYesNo, L"恢复原值") != kAnswerYes)
        return;

    OpenRecord record = LockAndRead(context);
    if (!record.file) {
        context.dialogs.ShowMessageBox(L"原值记录无法读取：" + record.problem, kButtonsOkOnly,
                                       messages::kErrorTitle);
        return;
    }
    std::wstring failures;
    ErrorCode firstError = kSuccess;
    std::optional<Original> firstDenied;  // decides the advice, as for a task
    bool internationalPutBack = false;
    std::vector<Original> left;
    for (Original& entry : record.entries) {
        if (EqualsPresent(context, entry)) continue;  // counts as none: dropped
        const bool wanted =
            std::any_of(question.values.begin(), question.values.end(),
                        [&](const Original* asked) { return SameValue(*asked, entry); });
        if (!wanted) {
            left.push_back(std::move(entry));
            continue;
        }
        // Through our own registry access, so it works while the registry
        // editor is blocked; and it never creates a key.
        OpenedKey opened = context.registry.OpenKey(entry.root, entry.path);
        ErrorCode error = opened.error;
        if (opened.key) {
            error = entry.value ? opened.key->SetValue(entry.name, *entry.value)
                                : opened.key->DeleteValue(entry.name);
            if (!entry.value && error == kErrorFileNotFound) error = kSuccess;
        }
        if (error == kSuccess) {
            internationalPutBack = internationalPutBack || InInternational(entry);
            continue;
        }
        failures += messages::kLineBreak;
        failures += FullValueName(entry.root, entry.path, entry.name) + L"：" +
                    context.shell.ErrorText(error);
        if (firstError == kSuccess) firstError = error;
        if (error == kErrorAccessDenied && !firstDenied) firstDenied = entry;
        left.push_back(std::move(entry));
    }
    // What could not be put back stays recorded. A failed save leaves entries
    // that now equal the registry, which count as none.
    SaveRecord(*record.file, left);
    record.file.reset();
    // As after the clock's own change: running programs keep a copy of these.
    if (internationalPutBack && context.settingBroadcast)
        context.settingBroadcast->SettingChanged(kInternationalArea);
    if (failures.empty()) return;
    const std::wstring message = L"以下值没有恢复为原值：" + failures;
    if (!firstDenied) {
        ReportFailure(context, message, firstError, RefusedTarget::MachineKey);
        return;
    }
    ReportFailure(context, message, kErrorAccessDenied,
                  TargetOf({firstDenied->root, firstDenied->path.c_str()}));
}

}  // namespace torvane
