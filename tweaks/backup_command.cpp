#include "tweaks/backup_command.h"

namespace torvane {

std::wstring BuildExportLine(const std::wstring& exportPath) {
    std::wstring line = L"regedit /e \"";
    for (wchar_t c : exportPath) {
        line += c;
        if (c == L'%') line += L'%';
    }
    line += L'"';
    return line;
}

std::wstring BuildInterpreterCommandLine(const std::wstring& batchPath) {
    return L"cmd.exe /d /v:off /c \"\"" + batchPath + L"\"\"";
}

}  // namespace torvane
