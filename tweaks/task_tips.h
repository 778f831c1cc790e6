#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tweaks/registry_locations.h"
#include "tweaks/tweak_context.h"

// What each task does, as data beside its operation, and the tip built from it
// with the values read fresh from the registry. Lines are separated by "\r\n",
// so that the tip wraps as lines; a tip stays under 1,024 characters
// (INFOTIPSIZE), which is what Windows keeps of a tip's text.
namespace torvane {

inline constexpr size_t kTipSizeLimit = 1024;  // characters, with the NUL

// Which answer to the task's question a change belongs to.
enum class Branch { Always, Yes, No };

inline constexpr std::uint32_t kDeleted = 0;  // the kind of a change that deletes the value

// One change a task makes to one value of its key. The tip's "写入：" line is
// built from these, and they decide which originals in the record belong to
// the task; a test holds every task to its list.
struct WrittenValue {
    Branch branch;
    const wchar_t* name;    // "" is the key's default value
    std::uint32_t kind;     // kRegDword, kRegSz, or kDeleted
    const wchar_t* data;    // the data when the task fixes it ("1", "500"), else null
    const wchar_t* source;  // otherwise: where the data comes from, as the tip says it
};

// One value whose present data the tip shows.
struct ShownValue {
    const wchar_t* label;  // "当前值", or what sets this value apart from the written one
    RegistryLocation location;
    const wchar_t* name;  // "" is the key's default value
};

struct TaskDescription {
    // The key the task writes, spelled in full on the "修改：" line; null for
    // backup and restore, which write no value of their own.
    const RegistryLocation* key;
    const wchar_t* purpose;  // backup and restore: what they do instead, the "作用：" line
    std::span<const WrittenValue> written;
    std::span<const ShownValue> values;
    // When one of the values is a DWORD other than 0: the line the tip adds.
    const wchar_t* whenSet;
    const wchar_t* windows;  // what Windows 10/11 does with it
    const wchar_t* effect;   // when it takes effect
    const wchar_t* admin;    // whether it needs an administrator, and why
};

// Whether the registry editor is blocked, for the user or for the machine: it
// decides whether backup and restore can run, and what the two editor switches
// leave in force.
inline constexpr ShownValue kEditorPolicyValues[]{
    {L"用户策略", kSystemPolicies, value_names::kDisableRegistryTools},
    {L"本机策略", kMachineSystemPolicies, value_names::kDisableRegistryTools},
};

// Whether a task needs an administrator, and why, for the tips.
inline constexpr const wchar_t* kUserPolicyAdmin =
    L"需要。这是 HKEY_CURRENT_USER 中的策略项，用户能读取，但只有管理员能修改："
    L"策略是为用户设置的，而不是由用户自己设置的；没有以管理员身份运行时，管理员也会被拒绝。";
inline constexpr const wchar_t* kMachineKeyAdmin =
    L"需要。HKEY_LOCAL_MACHINE 中的项只有以管理员身份运行的程序能修改。";
inline constexpr const wchar_t* kDefaultProfileAdmin =
    L"需要。HKEY_USERS\\.DEFAULT 只有以管理员身份运行的程序能修改。";
inline constexpr const wchar_t* kOwnSettingAdmin = L"不需要：这是你自己的设置。";

// "名称" or "（默认）" for the default value.
const wchar_t* ShownName(const std::wstring& name);

// A value's data as the tips show it: "1（REG_DWORD）", "“text”（REG_SZ）",
// "（类型 3，2 字节）", or "未设置" when absent. Texts longer than
// maxCharacters are cut with "…".
void AppendValueText(std::wstring& text, const std::optional<RegistryValue>& value,
                     size_t maxCharacters);

// The text of a REG_SZ or REG_EXPAND_SZ up to its NUL, cut with "…" after
// maxCharacters, with any control character shown as a space.
void AppendShownText(std::wstring& text, const std::vector<std::uint8_t>& bytes,
                     size_t maxCharacters);

// The number a REG_DWORD holds, if the value is one.
std::optional<std::uint32_t> DwordOf(const RegistryValue& value);

// The whole tip: what the task changes, the values now, what Windows does with
// them, whether it needs administrator rights and this process has them, and
// the originals this program keeps of its values. Reads through
// context.registry and the record only; writes nothing.
std::wstring DescribeTask(const TaskDescription& description, TweakContext& context);

}  // namespace torvane
