#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace torvane {

// Control ids of the input box, for anyone driving it from outside.
constexpr int kInputBoxPromptId = 100;
constexpr int kInputBoxEditId = 101;

// A modal box with a prompt, one line of text and OK / Cancel, owned by owner,
// in the given font (the system's message font when null). Returns the text on
// OK (Enter), nothing on Cancel, Escape or the close box.
std::optional<std::wstring> RunInputBox(HWND owner, const std::wstring& prompt,
                                        const std::wstring& title, const std::wstring& defaultText,
                                        HFONT font = nullptr, int fontDpi = 96);

}  // namespace torvane
