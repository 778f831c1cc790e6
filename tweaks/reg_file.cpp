#include "tweaks/reg_file.h"

#include <algorithm>
#include <string_view>

// The reader takes each value as loosely as is safe, then writes it again
// with the writer's own code: a value is read only if its lines are exactly
// what the writer makes of it. So the two cannot drift apart, and no planted
// line that the registry editor might read otherwise gets through.
//
// Strings and byte vectors grow only in a few functions kept out of line:
// inlined, each place that grows one costs the exe a few hundred bytes.
namespace torvane {
namespace {

using namespace std::string_view_literals;

constexpr std::wstring_view kVersionLine = L"Windows Registry Editor Version 5.00";
constexpr std::wstring_view kLineEnd = L"\r\n";
// Written in place of a key or a value that no registry file can hold: a
// line break in a name would start a line of its own, which the registry
// editor would read as another key or value. It skips a comment; ReadRegFile
// refuses the file at it, so a restore never runs on part of a record.
constexpr std::wstring_view kLeftOut = L"; left out: a key or value name this file cannot hold\r\n";
constexpr RegistryRoot kRoots[] = {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine,
                                   RegistryRoot::Users};

#if defined(_MSC_VER)
#define TORVANE_OUT_OF_LINE __declspec(noinline)
#else
#define TORVANE_OUT_OF_LINE __attribute__((noinline))
#endif

TORVANE_OUT_OF_LINE void Put(std::wstring& out, std::wstring_view piece) {
    out.append(piece);
}

void PutHex(std::wstring& out, std::uint32_t value, size_t digits) {
    wchar_t buffer[8];
    for (size_t i = digits; i-- > 0; value >>= 4) buffer[i] = L"0123456789abcdef"[value & 15];
    Put(out, {buffer, digits});
}

void PutEscaped(std::wstring& out, wchar_t c) {
    const wchar_t escaped[] = {L'\\', c};
    const bool needsEscape = c == L'\\' || c == L'"';
    Put(out, {escaped + !needsEscape, 1u + needsEscape});
}

// As std::wstring_view::compare, out of line: the Windows headers' wmemcmp
// is an inline loop that would otherwise come with every comparison.
TORVANE_OUT_OF_LINE int Compare(std::wstring_view a, std::wstring_view b) {
    return a.compare(b);
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return Compare(text.substr(0, prefix.size()), prefix) == 0;
}

bool IsLineBreak(wchar_t c) {
    return c == L'\r' || c == L'\n';
}

bool HoldsLineBreak(std::wstring_view text) {
    for (wchar_t c : text) {
        if (IsLineBreak(c)) return true;
    }
    return false;
}

// A key the header can name without ambiguity: a path that is not empty,
// holds no line break and no empty step (a leading, trailing or doubled
// backslash), and a name no longer than Windows allows, 255 characters with
// the root. The limit also keeps a hostile file from multiplying: each entry
// holds its own copy of its key's path.
bool IsWritableKey(RegistryRoot root, std::wstring_view path) {
    if (path.empty() || path.front() == L'\\' || path.back() == L'\\') return false;
    if (RootName(root).size() + 1 + path.size() > 255) return false;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsLineBreak(path[i]) || (path[i] == L'\\' && path[i + 1] == L'\\')) return false;
    }
    return true;
}

void PutKeyHeader(std::wstring& out, const RegFileEntry& entry) {
    Put(out, L"["sv);
    Put(out, RootName(entry.root));
    Put(out, L"\\"sv);
    Put(out, entry.path);
    Put(out, L"]\r\n"sv);
}

wchar_t UnitAt(const std::vector<std::uint8_t>& bytes, size_t offset) {
    return static_cast<wchar_t>(bytes[offset] | bytes[offset + 1] << 8);
}

// A REG_SZ that "text" gives back byte for byte: whole UTF-16 units, one
// terminating NUL and no other, and nothing that would break the line.
bool IsPlainText(const RegistryValue& value) {
    const size_t size = value.bytes.size();
    if (value.kind != kRegSz || size < 2 || size % 2 != 0 || UnitAt(value.bytes, size - 2) != 0) {
        return false;
    }
    for (size_t i = 0; i + 2 < size; i += 2) {
        const wchar_t c = UnitAt(value.bytes, i);
        if (c == 0 || IsLineBreak(c)) return false;
    }
    return true;
}

// The value's line, or lines for long hex data. After a byte and its comma
// the line is continued once it holds more than 76 characters, as the
// registry editor does: with the "\" no line passes 80 unless the name alone
// does, and continuation lines hold 25 bytes after their two blanks.
void PutValueLines(std::wstring& out, const RegFileEntry& entry) {
    size_t lineStart = out.size();
    if (entry.name.empty()) {
        Put(out, L"@"sv);
    } else {
        Put(out, L"\""sv);
        for (wchar_t c : entry.name) PutEscaped(out, c);
        Put(out, L"\""sv);
    }
    const auto& value = entry.value;
    if (!value) {
        Put(out, L"=-"sv);
    } else if (IsPlainText(*value)) {
        Put(out, L"=\""sv);
        for (size_t i = 0; i + 2 < value->bytes.size(); i += 2) {
            PutEscaped(out, UnitAt(value->bytes, i));
        }
        Put(out, L"\""sv);
    } else if (value->kind == kRegDword && value->bytes.size() == 4) {
        Put(out, L"=dword:"sv);
        PutHex(out, UnitAt(value->bytes, 2), 4);
        PutHex(out, UnitAt(value->bytes, 0), 4);
    } else {
        size_t kindDigits = 1;
        while (kindDigits < 8 && value->kind >> (4 * kindDigits) != 0) ++kindDigits;
        Put(out, L"=hex("sv);
        PutHex(out, value->kind, kindDigits);
        Put(out, L"):"sv);
        for (size_t i = 0; i < value->bytes.size(); ++i) {
            if (i > 0) Put(out, L","sv);
            if (i > 0 && out.size() - lineStart > 76) {
                Put(out, L"\\\r\n  "sv);
                lineStart = out.size() - 2;
            }
            PutHex(out, value->bytes[i], 2);
        }
    }
    Put(out, kLineEnd);
}

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

bool SameKey(const Keyed& a, const Keyed& b) {
    return a.group == b.group && Compare(a.text, b.text) == 0;
}

bool Before(const Keyed& a, const Keyed& b) {
    if (a.group != b.group) return a.group < b.group;
    if (const int c = Compare(a.text, b.text)) return c < 0;
    return a.order < b.order;
}

// Merge sort from the bottom up: n log n whatever the input, no recursion.
void Sort(std::vector<Keyed>& items) {
    const size_t n = items.size();
    std::vector<Keyed> merged(n);
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t low = 0; low < n; low += 2 * width) {
            const size_t middle = std::min(low + width, n);
            const size_t high = std::min(low + 2 * width, n);
            size_t left = low;
            size_t right = middle;
            for (size_t k = low; k < high; ++k) {
                const bool takeLeft =
                    right == high || (left < middle && !Before(items[right], items[left]));
                merged[k] = takeLeft ? items[left++] : items[right++];
            }
        }
        items.swap(merged);
    }
}

// The earliest place at which an item comes a second time, or 0.
size_t FirstRepeat(std::vector<Keyed>& items) {
    Sort(items);
    size_t first = 0;
    for (size_t i = 1; i < items.size(); ++i) {
        if (SameKey(items[i], items[i - 1]) && (first == 0 || items[i].order < first)) {
            first = items[i].order;
        }
    }
    return first;
}

bool ReadHexDigit(std::wstring_view line, size_t& at, std::uint32_t& value) {
    if (at >= line.size()) return false;
    const wchar_t c = line[at];
    if (c < L'0' || (c > L'9' && c < L'a') || c > L'f') return false;
    value = value << 4 | (c >= L'a' ? c - L'a' + 10u : c - L'0');
    ++at;
    return true;
}

// A quoted name or text from `at` (on the opening quote) to past its closing
// one. Any backslash takes the next character as it is: what the writer
// would not have written is caught when the value is written again.
bool ReadQuoted(std::wstring_view line, size_t& at, std::wstring& text) {
    if (at >= line.size() || line[at] != L'"') return false;
    for (++at; at < line.size(); ++at) {
        if (line[at] == L'"') {
            ++at;
            return true;
        }
        if (line[at] == L'\\' && at + 1 < line.size()) ++at;
        text += line[at];
    }
    return false;
}

TORVANE_OUT_OF_LINE void PutByte(std::vector<std::uint8_t>& bytes, std::uint32_t byte) {
    bytes.push_back(static_cast<std::uint8_t>(byte));
}

// Reads the lines in order up to the first that the writer would not have
// written so. Each value is written again and compared with its lines, so
// only the writer's own form is read; the places of keys and values are kept
// for the duplicate check.
class Reader {
  public:
    Reader(const std::wstring& text, std::vector<RegFileEntry>& entries)
        : text_(text), entries_(entries) {}

    std::vector<Keyed> keys;    // each header, at its line
    std::vector<Keyed> values;  // the key's number and (later) name, at the value's first line

    // 0 when the text was read to its end, else the line it stopped at.
    size_t Read() {
        std::wstring_view line;
        if (Take(line) != kLine || Compare(line, kVersionLine) != 0) return number_;
        if (Take(line) != kLine || !line.empty()) return number_;
        std::wstring_view header;  // of the key whose values come, else empty
        RegistryRoot root = RegistryRoot::CurrentUser;
        std::wstring_view path;
        bool anyValue = false;
        for (;;) {
            const size_t start = next_;
            const Outcome outcome = Take(line);
            if (outcome == kEnd && header.empty()) return 0;
            if (outcome != kLine) return number_;
            if (header.empty()) {
                if (!ReadKeyHeader(line, root, path)) return number_;
                header = line;
                keys.push_back({0, header, number_});
                anyValue = false;
            } else if (line.empty()) {
                if (!anyValue) return number_;
                header = {};
            } else {
                const size_t first = number_;
                RegFileEntry& entry = entries_.emplace_back();
                entry.root = root;
                entry.path = path;
                if (!ReadValue(line, entry)) return number_;
                if (const size_t differing = FirstDifferingLine(start, entry)) return differing;
                values.push_back({keys.size(), {}, first});
                anyValue = true;
            }
        }
    }

  private:
    enum Outcome { kLine, kEnd, kBroken };

    // The next line up to its CR LF; a lone CR or LF, or text after the last
    // line end, is a broken line. number_ counts the line even at the end.
    TORVANE_OUT_OF_LINE Outcome Take(std::wstring_view& line) {
        ++number_;
        if (next_ == text_.size()) return kEnd;
        size_t end = next_;
        while (end < text_.size() && !IsLineBreak(text_[end])) ++end;
        if (end + 1 >= text_.size() || text_[end] != L'\r' || text_[end + 1] != L'\n') {
            return kBroken;
        }
        line = std::wstring_view(text_).substr(next_, end - next_);
        next_ = end + 2;
        return kLine;
    }

    static bool ReadKeyHeader(std::wstring_view line, RegistryRoot& root, std::wstring_view& path) {
        for (RegistryRoot candidate : kRoots) {
            const std::wstring name = RootName(candidate);
            const size_t pathStart = name.size() + 2;
            if (line.size() > pathStart && line[0] == L'[' &&
                Compare(line.substr(1, name.size()), name) == 0 && line[pathStart - 1] == L'\\' &&
                line.back() == L']') {
                root = candidate;
                path = line.substr(pathStart, line.size() - pathStart - 1);
                return IsWritableKey(root, path);
            }
        }
        return false;
    }

    bool ReadValue(std::wstring_view line, RegFileEntry& entry) {
        size_t at = line[0] == L'@' ? 1 : 0;
        if (at == 0 && !ReadQuoted(line, at, entry.name)) return false;
        const std::wstring_view rest = line.substr(at);
        if (Compare(rest, L"=-"sv) == 0) return true;
        RegistryValue& value = entry.value.emplace();
        std::uint32_t number = 0;
        if (StartsWith(rest, L"=\""sv)) {
            std::wstring text;
            at = 1;
            if (!ReadQuoted(rest, at, text)) return false;
            value = StringValue(text);
        } else if (StartsWith(rest, L"=dword:"sv)) {
            for (at = 7; ReadHexDigit(rest, at, number);) {
            }
            value = DwordValue(number);
        } else if (StartsWith(rest, L"=hex("sv)) {
            for (at = 5; ReadHexDigit(rest, at, value.kind);) {
            }
            if (!StartsWith(rest.substr(at), L"):"sv)) return false;
            return ReadHexBytes(rest, at + 2, value.bytes);
        } else {
            return false;
        }
        return true;
    }

    // "ab,cd", going on after ",\" on the next line past its blanks.
    bool ReadHexBytes(std::wstring_view line, size_t at, std::vector<std::uint8_t>& bytes) {
        while (at < line.size()) {
            std::uint32_t byte = 0;
            if (!ReadHexDigit(line, at, byte) || !ReadHexDigit(line, at, byte)) return false;
            PutByte(bytes, byte);
            if (at == line.size()) break;
            if (line[at++] != L',') return false;
            if (Compare(line.substr(at), L"\\"sv) == 0) {
                if (Take(line) != kLine || !StartsWith(line, L"  "sv)) return false;
                at = 2;
            }
        }
        return true;
    }

    // Where the lines of a value read from `start` differ from what the
    // writer makes of it (hex wrapped elsewhere, a string or DWORD written as
    // hex, "" for @, a stray escape or character), or 0.
    size_t FirstDifferingLine(size_t start, const RegFileEntry& entry) {
        std::wstring written;
        PutValueLines(written, entry);
        const std::wstring_view read = std::wstring_view(text_).substr(start, next_ - start);
        size_t same = 0;
        while (same < read.size() && same < written.size() && read[same] == written[same]) ++same;
        if (same == read.size() && same == written.size()) return 0;
        size_t line = number_ + 1;
        for (size_t i = same; i < read.size(); ++i) line -= read[i] == L'\n';
        return line;
    }

    const std::wstring& text_;
    std::vector<RegFileEntry>& entries_;
    size_t next_ = 0;    // where the next line starts
    size_t number_ = 0;  // of the line last taken
};

}  // namespace

bool SameValue(const RegFileEntry& a, const RegFileEntry& b) {
    return a.root == b.root && SameRegistryName(a.path, b.path) && SameRegistryName(a.name, b.name);
}

std::wstring FormatRegFile(const std::vector<RegFileEntry>& entries) {
    // Sorted by key, each key's entries stay in input order; each key is
    // written whole where its first entry comes. Linear in the entries however
    // the keys interleave, but for the sort.
    const size_t n = entries.size();
    std::vector<Keyed> byKey(n);
    for (size_t i = 0; i < n; ++i) {
        byKey[i] = {static_cast<size_t>(entries[i].root), entries[i].path, i};
    }
    Sort(byKey);
    std::vector<size_t> sortedAt(n);
    for (size_t k = 0; k < n; ++k) sortedAt[byKey[k].order] = k;

    std::wstring text;
    Put(text, kVersionLine);
    Put(text, L"\r\n\r\n"sv);
    for (size_t i = 0; i < n; ++i) {
        size_t k = sortedAt[i];
        if (k > 0 && SameKey(byKey[k], byKey[k - 1])) continue;  // written with its first entry
        const bool keyWritable = IsWritableKey(entries[i].root, entries[i].path);
        if (keyWritable) PutKeyHeader(text, entries[i]);
        if (!keyWritable) Put(text, kLeftOut);
        do {
            const RegFileEntry& entry = entries[byKey[k].order];
            if (keyWritable && HoldsLineBreak(entry.name)) Put(text, kLeftOut);
            if (keyWritable && !HoldsLineBreak(entry.name)) PutValueLines(text, entry);
        } while (++k < n && SameKey(byKey[k], byKey[k - 1]));
        Put(text, kLineEnd);
    }
    return text;
}

std::vector<std::uint8_t> EncodeRegFile(const std::wstring& text) {
    std::vector<std::uint8_t> bytes{0xFF, 0xFE};  // the byte-order mark
    AppendUtf16(bytes, text);
    return bytes;
}

RegFileReading ReadRegFile(const std::vector<std::uint8_t>& bytes,
                           const std::function<bool(const RegFileEntry&)>& allowed) {
    RegFileReading reading;
    reading.refusedLine = 1;
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || UnitAt(bytes, 0) != 0xFEFF) return reading;
    std::wstring text(bytes.size() / 2 - 1, L'\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = UnitAt(bytes, 2 * i + 2);

    Reader reader(text, reading.entries);
    // Of a line in the wrong form, an entry not allowed and a duplicate key or
    // value, the first in the file is reported. Only entries read whole, before
    // any line in the wrong form, are offered, in order, up to one refused.
    size_t faults[4] = {reader.Read()};
    for (size_t i = 0; i < reader.values.size(); ++i) {
        reader.values[i].text = reading.entries[i].name;
        if (faults[1] == 0 && (!allowed || !allowed(reading.entries[i]))) {
            faults[1] = reader.values[i].order;
        }
    }
    faults[2] = FirstRepeat(reader.keys);
    faults[3] = FirstRepeat(reader.values);
    size_t refused = 0;
    for (size_t fault : faults) {
        if (fault != 0 && (refused == 0 || fault < refused)) refused = fault;
    }
    reading.refusedLine = refused;
    if (refused != 0) reading.entries.clear();
    return reading;
}

}  // namespace torvane
