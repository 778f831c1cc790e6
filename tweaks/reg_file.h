#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_access.h"

// Registry files in the form Windows' registry editor imports ("Windows
// Registry Editor Version 5.00"): the record of originals and the exported
// changes are both written this way, so that either can also be imported by
// hand. Only what the writer writes is read back.
namespace torvane {

// One value of a registry file: where it lives and what it holds, or nothing
// for a value that is absent ("name"=-).
struct RegFileEntry {
    RegistryRoot root = RegistryRoot::CurrentUser;
    std::wstring path;  // below the root
    std::wstring name;  // "" is the key's default value, written @
    std::optional<RegistryValue> value;
    bool operator==(const RegFileEntry&) const = default;
};

// Whether two entries name the same value: key paths and names compare as
// Windows compares them, without regard to letter case.
bool SameValue(const RegFileEntry& a, const RegFileEntry& b);

// The text: the version line, a blank line, then each key once, in the order
// its first entry comes, as "[HKEY_…\path]" followed by its values and a blank
// line. Every line ends in CR LF.
//   "name"=-               an absent value
//   "name"="text"          REG_SZ of even length ending in exactly one NUL, with
//                          no other NUL and no CR or LF
//   "name"=dword:0000abcd  REG_DWORD of exactly four bytes
//   "name"=hex(N):ab,cd    everything else, N the kind in hexadecimal; long
//                          lines go on after ",\" on lines that start with two
//                          blanks, as the registry editor writes them
// In names and texts \ and " are escaped with a backslash.
std::wstring FormatRegFile(const std::vector<RegFileEntry>& entries);

// UTF-16LE with a byte-order mark: what the registry editor reads as version 5.00.
std::vector<std::uint8_t> EncodeRegFile(const std::wstring& text);

struct RegFileReading {
    std::vector<RegFileEntry> entries;  // in file order
    size_t refusedLine = 0;             // 0 when the file was read whole, else its 1-based number
    bool ok() const { return refusedLine == 0; }
};

// Reads the bytes of a file that FormatRegFile and EncodeRegFile wrote, and
// nothing else: any other form, a duplicate key or value, or an entry that
// `allowed` refuses makes the file unreadable at that line, with no entries.
RegFileReading ReadRegFile(const std::vector<std::uint8_t>& bytes,
                           const std::function<bool(const RegFileEntry&)>& allowed);

}  // namespace torvane
