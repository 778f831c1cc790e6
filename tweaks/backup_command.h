#pragma once

#include <string>

// The texts that a registry backup hands to the command interpreter.
namespace torvane {

inline constexpr const wchar_t* kBackupBatchName = L"BackUp.bat";

// regedit /e "<path>", with every % doubled so that cmd expands nothing. Inside
// the quotes & | ^ ( ) ; , = and blanks are plain characters; ! stays literal
// because the interpreter is started with delayed expansion off.
std::wstring BuildExportLine(const std::wstring& exportPath);

// The interpreter's command line that runs the batch file: /d skips AutoRun
// commands, /v:off keeps ! literal, and the outer quotes are the pair /c strips.
std::wstring BuildInterpreterCommandLine(const std::wstring& batchPath);

}  // namespace torvane
