#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "tweaks/reg_file.h"

// What the writer and the reader of registry files share. The reader takes
// each value as loosely as is safe, then writes it again with the writer's own
// code: a value is read only if its lines are exactly what the writer makes of
// it. So the two cannot drift apart, and no planted line that the registry
// editor might read otherwise gets through.
//
// Strings and byte vectors grow only in a few functions kept out of line:
// inlined, each place that grows one costs the exe a few hundred bytes.
namespace torvane::reg_file_form {

#if defined(_MSC_VER)
#define TORVANE_OUT_OF_LINE __declspec(noinline)
#else
#define TORVANE_OUT_OF_LINE __attribute__((noinline))
#endif

// Defined once: each file that spelled it out would carry its own copy.
extern const std::wstring_view kVersionLine;

inline bool IsLineBreak(wchar_t c) {
    return c == L'\r' || c == L'\n';
}

// As std::wstring_view::compare, out of line: the Windows headers' wmemcmp
// is an inline loop that would otherwise come with every comparison.
int Compare(std::wstring_view a, std::wstring_view b);
wchar_t UnitAt(const std::vector<std::uint8_t>& bytes, size_t offset);

// A key the header can name without ambiguity: a path that is not empty,
// holds no line break and no empty step (a leading, trailing or doubled
// backslash), and a name no longer than Windows allows, 255 characters with
// the root. The limit also keeps a hostile file from multiplying: each entry
// holds its own copy of its key's path.
bool IsWritableKey(RegistryRoot root, std::wstring_view path);

// The value's line, or lines for long hex data. After a byte and its comma
// the line is continued once it holds more than 76 characters, as the
// registry editor does: with the "\" no line passes 80 unless the name alone
// does, and continuation lines hold 25 bytes after their two blanks.
void PutValueLines(std::wstring& out, const RegFileEntry& entry);

// Something to find twice, by its group and text: a key by its header, a
// value by its key's number and its name, an entry by its root and path; with
// the line or place it comes at. Values are grouped by the key's number, not
// its header, so that however long a header is it is compared only with
// other headers.
struct Keyed {
    size_t group = 0;
    std::wstring_view text;
    size_t order = 0;
};

bool SameKey(const Keyed& a, const Keyed& b);
// Merge sort from the bottom up: n log n whatever the input, no recursion.
void Sort(std::vector<Keyed>& items);
// The earliest place at which an item comes a second time, or 0.
size_t FirstRepeat(std::vector<Keyed>& items);

}  // namespace torvane::reg_file_form
