#include "tweaks/original_values.h"

#include <algorithm>
#include <optional>

#include "platform/numeric_text.h"
#include "tweaks/mod_regSetting.h"
#include "tweaks/original_record.h"
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

}  // namespace

PresentValue Present(TweakContext& context, const Original& where) {
    const ReadResult read = context.registry.ReadValue(where.root, where.path, where.name);
    if (read.error == kErrorFileNotFound) return std::optional<RegistryValue>();
    if (read.error != kSuccess) return std::nullopt;
    return std::optional<RegistryValue>(RegistryValue{read.kind, read.bytes});
}

bool EqualsPresent(TweakContext& context, const Original& original) {
    const auto now = Present(context, original);
    return now && *now == original.value;
}

namespace {

std::wstring Because(const std::wstring& path, TweakContext& context, ErrorCode error) {
    return path + messages::kLineBreak + context.shell.ErrorText(error);
}

}  // namespace

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

ErrorCode SaveRecord(RecordFile& file, const std::vector<Original>& entries) {
    return file.Replace(EncodeRegFile(FormatRegFile(entries)));
}

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
        if (const ErrorCode error = SaveRecord(*record.file, kept); error != kSuccess)
            return {nullptr, Because(context.originals->Path(), context, error)};
    }
    return {std::move(record.file), L""};
}

}  // namespace torvane
