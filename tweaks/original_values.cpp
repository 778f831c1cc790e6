#include "tweaks/original_values.h"

#include <algorithm>
#include <optional>

#include "platform/numeric_text.h"
#include "tweaks/failure_report.h"
#include "tweaks/mod_regSetting.h"
#include "tweaks/registry_change.h"
#include "tweaks/user_messages.h"

namespace torvane {
namespace {

using namespace mod_regSetting;

constexpr const TaskDescription* kAllTasks[]{
    &kBackupRegistryTip,       &kRestoreRegistryTip,       &kDisableRegistryEditorTip,
    &kEnableRegistryEditorTip, &kSetDiskSpaceThresholdTip, &kSetLogonWallpaperTip,
    &kSetDesktopIconSizeTip,   &kToggleDesktopIconsTip,    &kSetClockTextTip,
    &kSetThemeDesktopTip,      &kSetHungAppTimeoutTip,     &kSetAlwaysUnloadDllTip,
    &kOptimizeFileSystemTip};

constexpr size_t kShownCharacters = 100;  // of a text in the restore question

// The value as it is now: set, absent, or unreadable (nothing then).
std::optional<std::optional<RegistryValue>> Present(TweakContext& context, const Original& where) {
    const ReadResult read = context.registry.ReadValue(where.root, where.path, where.name);
    if (read.error == kErrorFileNotFound) return std::optional<RegistryValue>();
    if (read.error != kSuccess) return std::nullopt;
    return std::optional<RegistryValue>(RegistryValue{read.kind, read.bytes});
}

bool EqualsPresent(TweakContext& context, const Original& original) {
    const auto now = Present(context, original);
    return now && *now == original.value;
}

struct OpenRecord {
    std::unique_ptr<RecordFile> file;  // the lock; null when the record cannot be used
    std::vector<Original> entries;
    std::wstring problem;
};

std::wstring Because(const std::wstring& path, TweakContext& context, ErrorCode error) {
    return path + messages::kLineBreak + context.shell.ErrorText(error);
}

OpenRecord LockAndRead(TweakContext& context) {
    RecordStore& store = *context.originals;
    LockedRecord locked = store.Lock();
    if (!locked.file) return {nullptr, {}, Because(store.Path(), context, locked.error)};
    std::vector<std::uint8_t> bytes;
    const ErrorCode error = locked.file->Read(bytes);
    if (error == kErrorFileNotFound) return {std::move(locked.file), {}, L""};
    if (error != kSuccess) return {nullptr, {}, Because(store.Path(), context, error)};
    RegFileReading reading = ReadRegFile(bytes, WrittenByATask);
    if (!reading.ok()) {
        // Never overwritten: whatever it holds stays for the user to rescue.
        return {nullptr, {}, store.Path() + L"（第 " + DecimalText(reading.refusedLine) + L" 行）"};
    }
    return {std::move(locked.file), std::move(reading.entries), L""};
}

ErrorCode Save(RecordFile& file, const std::vector<Original>& entries) {
    return file.Replace(EncodeRegFile(FormatRegFile(entries)));
}

void AppendData(std::wstring& text, const std::optional<RegistryValue>& value) {
    AppendValueText(text, value, kShownCharacters);
}

}  // namespace

std::span<const TaskDescription* const> AllTaskDescriptions() {
    return kAllTasks;
}

bool BelongsTo(const Original& original, const TaskDescription& task) {
    if (!task.key || original.root != task.key->root ||
        !SameRegistryName(original.path, task.key->path)) {
        return false;
    }
    return std::any_of(task.written.begin(), task.written.end(), [&](const WrittenValue& value) {
        return SameRegistryName(original.name, value.name);
    });
}

bool WrittenByATask(const Original& original) {
    return std::any_of(std::begin(kAllTasks), std::end(kAllTasks),
                       [&](const TaskDescription* task) { return BelongsTo(original, *task); });
}

std::wstring FullValueName(RegistryRoot root, const std::wstring& path, const std::wstring& name) {
    return RootName(root) + L"\\" + path + L" 中的 " + ShownName(name);
}

OriginalsReading ReadOriginals(TweakContext& context) {
    if (!context.originals) return {};
    OpenRecord record = LockAndRead(context);
    record.file.reset();  // nothing is written: the lock goes at once
    OriginalsReading reading{{}, record.problem};
    for (Original& entry : record.entries) {
        if (!EqualsPresent(context, entry)) reading.originals.push_back(std::move(entry));
    }
    return reading;
}

KeptOriginals KeepOriginals(TweakContext& context, const RegistryLocation& location,
                            const std::vector<std::wstring>& names) {
    if (!context.originals) return {};
    OpenRecord record = LockAndRead(context);
    if (!record.file) return {nullptr, record.problem};
    std::vector<Original> kept;
    for (Original& entry : record.entries) {
        if (!EqualsPresent(context, entry)) kept.push_back(std::move(entry));
    }
    bool changed = kept.size() != record.entries.size();
    for (const std::wstring& name : names) {
        Original original{location.root, location.path, name, std::nullopt};
        // Only the first change is recorded: a later one keeps the earlier original.
        if (std::any_of(kept.begin(), kept.end(),
                        [&](const Original& entry) { return SameValue(entry, original); })) {
            continue;
        }
        const ReadResult now = context.registry.ReadValue(location.root, location.path, name);
        if (now.error == kSuccess) {
            original.value = RegistryValue{now.kind, now.bytes};
        } else if (now.error != kErrorFileNotFound) {
            return {nullptr,
                    Because(FullValueName(location.root, location.path, name), context, now.error)};
        }
        kept.push_back(std::move(original));
        changed = true;
    }
    if (changed) {
        if (const ErrorCode error = Save(*record.file, kept); error != kSuccess)
            return {nullptr, Because(context.originals->Path(), context, error)};
    }
    return {std::move(record.file), L""};
}

void RestoreOriginals(TweakContext& context, const TaskDescription* task) {
    if (!context.originals) return;
    const OriginalsReading reading = ReadOriginals(context);
    if (!reading.problem.empty()) {
        context.dialogs.ShowMessageBox(L"原值记录无法读取：" + reading.problem, kButtonsOkOnly,
                                       messages::kErrorTitle);
        return;
    }
    std::vector<Original> chosen;
    std::wstring question = L"是否把以下值恢复为原值？";
    for (const Original& original : reading.originals) {
        if (task && !BelongsTo(original, *task)) continue;
        chosen.push_back(original);
        question += messages::kLineBreak;
        question += FullValueName(original.root, original.path, original.name) + L"：现在 ";
        const auto now = Present(context, original);
        if (now) {
            AppendData(question, *now);
        } else {
            question += L"无法读取";
        }
        question += L"，原值 ";
        AppendData(question, original.value);
    }
    if (chosen.empty()) return;
    if (context.dialogs.ShowMessageBox(question, kButtonsYesNo, L"恢复原值") != kAnswerYes) return;

    OpenRecord record = LockAndRead(context);
    if (!record.file) {
        context.dialogs.ShowMessageBox(L"原值记录无法读取：" + record.problem, kButtonsOkOnly,
                                       messages::kErrorTitle);
        return;
    }
    std::wstring failures;
    ErrorCode firstError = kSuccess;
    std::optional<Original> firstDenied;  // decides the advice, as for a task
    std::vector<Original> left;
    for (Original& entry : record.entries) {
        if (EqualsPresent(context, entry)) continue;  // counts as none: dropped
        const bool wanted = std::any_of(chosen.begin(), chosen.end(),
                                        [&](const Original& c) { return SameValue(c, entry); });
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
        if (error == kSuccess) continue;
        failures += messages::kLineBreak;
        failures += FullValueName(entry.root, entry.path, entry.name) + L"：" +
                    context.shell.ErrorText(error);
        if (firstError == kSuccess) firstError = error;
        if (error == kErrorAccessDenied && !firstDenied) firstDenied = entry;
        left.push_back(std::move(entry));
    }
    // What could not be put back stays recorded. A failed save leaves entries
    // that now equal the registry, which count as none.
    Save(*record.file, left);
    record.file.reset();
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
