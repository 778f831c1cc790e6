// The backup's batch line, read the way cmd reads it, must give the registry
// editor exactly two arguments, "/e" and the chosen path, and expand nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tweaks/backup_command.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// cmd's first phase: %% is one literal %; a lone % would start a variable.
std::wstring ExpandPercents(const std::wstring& line) {
    std::wstring out;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] != L'%') {
            out += line[i];
            continue;
        }
        Require(i + 1 < line.size() && line[i + 1] == L'%');
        out += L'%';
        ++i;
    }
    return out;
}

// cmd's second phase: outside quotes these characters would end or redirect
// the command; then the program splits its arguments at blanks outside quotes.
std::vector<std::wstring> SplitArguments(const std::wstring& line) {
    std::vector<std::wstring> arguments;
    std::wstring current;
    bool quoted = false;
    bool inArgument = false;
    for (wchar_t c : line) {
        if (c == L'"') {
            quoted = !quoted;
            inArgument = true;
            continue;
        }
        if (!quoted) {
            Require(std::wstring(L"&|<>^()").find(c) == std::wstring::npos);
            if (c == L' ' || c == L'\t') {
                if (inArgument) arguments.push_back(current);
                current.clear();
                inArgument = false;
                continue;
            }
        }
        current += c;
        inArgument = true;
    }
    Require(!quoted);
    if (inArgument) arguments.push_back(current);
    return arguments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Paths as the save dialog can return them: any UTF-16 units but NUL, line
    // breaks and the quote, which Windows file names cannot contain.
    std::wstring path;
    for (size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (c != 0 && c != L'"' && c != L'\r' && c != L'\n') path += c;
    }
    const std::wstring line = torvane::BuildExportLine(path);
    const std::vector<std::wstring> arguments = SplitArguments(ExpandPercents(line));
    Require(arguments.size() == 3);
    Require(arguments[0] == L"regedit");
    Require(arguments[1] == L"/e");
    Require(arguments[2] == path);
    return 0;
}
