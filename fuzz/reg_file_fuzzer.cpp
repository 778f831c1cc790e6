// The record of originals is a file any program of the user can change, so
// the reader must survive anything, and what it accepts must be exactly what
// the writer writes: read, written again and read once more, nothing changes.
// The same bytes also describe entries for the writer, which must read back
// grouped by key, or be refused when they hold what no registry file can.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tweaks/reg_file.h"

namespace {

using torvane::RegFileEntry;

void Require(bool condition) {
    if (!condition) std::abort();
}

bool AllowAll(const RegFileEntry&) {
    return true;
}

void ReadWriteRead(const std::vector<std::uint8_t>& bytes) {
    const torvane::RegFileReading reading = torvane::ReadRegFile(bytes, AllowAll);
    if (!reading.ok()) {
        Require(reading.entries.empty());
        Require(reading.refusedLine <= bytes.size() / 2 + 1);
        return;
    }
    const std::vector<std::uint8_t> again =
        torvane::EncodeRegFile(torvane::FormatRegFile(reading.entries));
    const torvane::RegFileReading second = torvane::ReadRegFile(again, AllowAll);
    Require(second.ok());
    Require(second.entries == reading.entries);
    // Only the writer's own form is read, so the file itself comes back too.
    Require(again == bytes);
}

class Source {
  public:
    Source(const std::uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    // Up to seven UTF-16 units, most of them from a few letters, the rest any.
    std::wstring Text() {
        std::wstring text;
        for (int length = Byte() % 8; length > 0; --length) {
            const std::uint8_t pick = Byte();
            text += pick < 192 ? static_cast<wchar_t>(L"ab\\\"=@[] "[pick % 9])
                               : static_cast<wchar_t>(Byte() | Byte() << 8);
        }
        return text;
    }

  private:
    const std::uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

bool SameKey(const RegFileEntry& a, const RegFileEntry& b) {
    return a.root == b.root && a.path == b.path;
}

bool HoldsLineBreak(const std::wstring& text) {
    return text.find_first_of(L"\r\n") != std::wstring::npos;
}

void WriteRead(const std::uint8_t* data, size_t size) {
    Source source(data, size);
    std::vector<RegFileEntry> entries;
    bool writable = true;
    bool repeated = false;
    while (!source.empty() && entries.size() < 64) {
        RegFileEntry entry;
        entry.root = static_cast<torvane::RegistryRoot>(source.Byte() % 3);
        entry.path = source.Byte() % 2 ? L"Software\\T" : source.Text();
        entry.name = source.Text();
        const std::uint8_t kind = source.Byte();
        if (kind % 8 != 0) {
            entry.value.emplace();
            entry.value->kind = kind % 8 == 7 ? 0x4000 + kind : kind % 8;
            for (int length = source.Byte() % 12; length > 0; --length) {
                entry.value->bytes.push_back(source.Byte());
            }
        }
        const std::wstring& path = entry.path;
        writable = writable && !path.empty() && path.front() != L'\\' && path.back() != L'\\' &&
                   path.find(L"\\\\") == std::wstring::npos && !HoldsLineBreak(path) &&
                   torvane::RootName(entry.root).size() + 1 + path.size() <= 255 &&
                   !HoldsLineBreak(entry.name);
        for (const RegFileEntry& before : entries) {
            repeated = repeated || (SameKey(before, entry) && before.name == entry.name);
        }
        entries.push_back(entry);
    }
    const torvane::RegFileReading reading =
        torvane::ReadRegFile(torvane::EncodeRegFile(torvane::FormatRegFile(entries)), AllowAll);
    Require(reading.ok() == (writable && !repeated));
    if (!reading.ok()) return;
    // Each key where its first entry comes, with all of its entries in order.
    std::vector<RegFileEntry> grouped;
    std::vector<bool> taken(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        if (taken[i]) continue;
        for (size_t j = i; j < entries.size(); ++j) {
            if (!taken[j] && SameKey(entries[i], entries[j])) {
                grouped.push_back(entries[j]);
                taken[j] = true;
            }
        }
    }
    Require(reading.entries == grouped);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadWriteRead(std::vector<std::uint8_t>(data, data + size));
    WriteRead(data, size);
    return 0;
}
