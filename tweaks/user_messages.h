#pragma once

// Texts that more than one task shows.
namespace torvane::messages {

inline constexpr const wchar_t* kErrorTitle = L"错误";
inline constexpr const wchar_t* kLineBreak = L"\r\n";

}  // namespace torvane::messages
