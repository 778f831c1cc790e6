#include <string_view>

#include "tweaks/reg_file.h"
#include "tweaks/reg_file_form.h"

namespace torvane {
namespace reg_file_form {
namespace {

using namespace std::string_view_literals;

constexpr std::wstring_view kLineEnd = L"\r\n";
// Written in place of a key or a value that no registry file can hold: a
// line break in a name would start a line of its own, which the registry
// editor would read as another key or value. It skips a comment; ReadRegFile
// refuses the file at it, so a restore never runs on part of a record.
constexpr std::wstring_view kLeftOut = L"; left out: a key or value name this file cannot hold\r\n";

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

bool HoldsLineBreak(std::wstring_view text) {
    for (wchar_t c : text) {
        if (IsLineBreak(c)) return true;
    }
    return false;
}

void PutKeyHeader(std::wstring& out, const RegFileEntry& entry) {
    Put(out, L"["sv);
    Put(out, RootName(entry.root));
    Put(out, L"\\"sv);
    Put(out, entry.path);
    Put(out, L"]\r\n"sv);
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

}  // namespace

constexpr std::wstring_view kVersionLine = L"Windows Registry Editor Version 5.00";

wchar_t UnitAt(const std::vector<std::uint8_t>& bytes, size_t offset) {
    return static_cast<wchar_t>(bytes[offset] | bytes[offset + 1] << 8);
}

bool IsWritableKey(RegistryRoot root, std::wstring_view path) {
    if (path.empty() || path.front() == L'\\' || path.back() == L'\\') return false;
    if (RootName(root).size() + 1 + path.size() > 255) return false;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsLineBreak(path[i]) || (path[i] == L'\\' && path[i + 1] == L'\\')) return false;
    }
    return true;
}

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

}  // namespace reg_file_form

using namespace reg_file_form;

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

}  // namespace torvane
