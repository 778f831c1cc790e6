#pragma once

#include <span>
#include <string>

#include "tweaks/registry_locations.h"
#include "tweaks/tweak_context.h"

// What each task does, as data beside its operation, and the tip built from it
// with the values read fresh from the registry. Lines are separated by "\r\n",
// so that the tip wraps as lines; a tip stays under 1,024 characters
// (INFOTIPSIZE), which is what Windows keeps of a tip's text.
namespace torvane {

inline constexpr size_t kTipSizeLimit = 1024;  // characters, with the NUL

// One value whose present data the tip shows.
struct ShownValue {
    const wchar_t* label;  // "当前值", or what sets this value apart from the written one
    RegistryLocation location;
    const wchar_t* name;  // "" is the key's default value
};

struct TaskDescription {
    // The key the task writes, spelled in full on the "修改：" line; null for
    // backup and restore, whose "修改：" line is changes itself.
    const RegistryLocation* key;
    const wchar_t* changes;  // "写入：…" or "删除：…", the kinds and the data
    std::span<const ShownValue> values;
    // When one of the values is a DWORD other than 0: the line the tip adds.
    const wchar_t* whenSet;
    const wchar_t* windows;  // what Windows 10/11 does with it
    const wchar_t* effect;   // when it takes effect
    const wchar_t* admin;    // whether it needs administrator rights
};

// Whether the registry editor is blocked, for the user or for the machine: it
// decides whether backup and restore can run, and what the two editor switches
// leave in force.
inline constexpr ShownValue kEditorPolicyValues[]{
    {L"用户策略", kSystemPolicies, value_names::kDisableRegistryTools},
    {L"本机策略", kMachineSystemPolicies, value_names::kDisableRegistryTools},
};

// The whole tip: what the task changes, the values now, what Windows does with
// them, and whether it needs administrator rights and this process has them.
// Reads through context.registry only; writes nothing.
std::wstring DescribeTask(const TaskDescription& description, TweakContext& context);

}  // namespace torvane
