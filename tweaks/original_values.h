#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "tweaks/reg_file.h"
#include "tweaks/task_tips.h"
#include "tweaks/tweak_context.h"

// The record of originals: for every value a task has changed, what it held
// before this program first changed it (its kind and bytes, or its absence),
// kept per Windows user across runs so that it can be put back exactly.
namespace torvane {

using Original = RegFileEntry;

// Every task's description. Only the values they write are ever read from the
// record, so that an entry planted in this user-writable file can never be
// written by an elevated restore.
std::span<const TaskDescription* const> AllTaskDescriptions();

// Whether a task writes this value, and so whether the record may hold it.
bool WrittenByATask(const Original& original);
bool BelongsTo(const Original& original, const TaskDescription& task);

// "HKEY_…\path 中的 name", as messages name a value.
std::wstring FullValueName(RegistryRoot root, const std::wstring& path, const std::wstring& name);

struct OriginalsReading {
    // The originals that still differ from the value now; an entry equal to
    // the present state counts as none.
    std::vector<Original> originals;
    // "" when the record was read; otherwise its path and why it could not be:
    // "（第 N 行）" for a line the reader refused, else a line with the reason.
    std::wstring problem;
};

// Reads the record under the lock and lets the lock go again, for a tip or
// the menu. Without a record store there is nothing to read.
OriginalsReading ReadOriginals(TweakContext& context);

struct KeptOriginals {
    // Held while the registry is changed, and let go before any dialog.
    std::unique_ptr<RecordFile> lock;
    std::wstring problem;  // "" when the originals are safe in the record
};

// Before a task changes these values of the key: records the original of each
// that the record does not hold yet, drops entries that equal the present
// state, and saves the record, all under the lock, which it keeps.
KeptOriginals KeepOriginals(TweakContext& context, const RegistryLocation& location,
                            const std::vector<std::wstring>& names);

// Asks whether to put back the originals of the task's values (of every value
// when task is null), then writes each exactly as it was, or deletes it, and
// removes what was put back from the record. Goes on past a value that fails;
// one message at the end names what was not put back, which stays recorded.
// Running programs are told when regional settings were put back.
void RestoreOriginals(TweakContext& context, const TaskDescription* task);

}  // namespace torvane
