#include <string_view>

#include "tweaks/reg_file.h"
#include "tweaks/reg_file_form.h"

namespace torvane {
namespace {

using namespace std::string_view_literals;
using namespace reg_file_form;

constexpr RegistryRoot kRoots[] = {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine,
                                   RegistryRoot::Users};

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return Compare(text.substr(0, prefix.size()), prefix) == 0;
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
