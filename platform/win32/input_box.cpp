#include "platform/win32/input_box.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace torvane {
namespace {

// Builds a DLGTEMPLATEEX in memory, so the box needs no resource of its own.
class DialogTemplate {
  public:
    DialogTemplate(DWORD style, short width, short height, WORD itemCount, const LOGFONTW& font,
                   int dpi) {
        Add16(1);       // dlgVer
        Add16(0xFFFF);  // signature: extended template
        Add32(0);       // helpID
        Add32(0);       // exStyle
        Add32(style);
        Add16(itemCount);
        Add16(0);
        Add16(0);
        Add16(static_cast<WORD>(width));
        Add16(static_cast<WORD>(height));
        Add16(0);  // no menu
        Add16(0);  // default dialog class
        Add16(0);  // the title is set at run time
        // The window's own face and size, so that dialog units are measured
        // in the font the controls show.
        const int fontHeight = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
        Add16(static_cast<WORD>(std::max(1, MulDiv(fontHeight, 72, dpi))));
        Add16(static_cast<WORD>(font.lfWeight ? font.lfWeight : FW_NORMAL));
        Add16(static_cast<WORD>((font.lfCharSet << 8) | (font.lfItalic ? 1 : 0)));
        AddText(font.lfFaceName);
    }

    void AddItem(WORD classAtom, DWORD style, short x, short y, short cx, short cy, DWORD id,
                 const wchar_t* text) {
        while (words_.size() % 2) Add16(0);  // items start on a DWORD boundary
        Add32(0);                            // helpID
        Add32(0);                            // exStyle
        Add32(style | WS_CHILD | WS_VISIBLE);
        Add16(static_cast<WORD>(x));
        Add16(static_cast<WORD>(y));
        Add16(static_cast<WORD>(cx));
        Add16(static_cast<WORD>(cy));
        Add32(id);
        Add16(0xFFFF);
        Add16(classAtom);
        AddText(text);
        Add16(0);  // no creation data
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void Add16(WORD value) { words_.push_back(value); }
    void Add32(DWORD value) {
        Add16(LOWORD(value));
        Add16(HIWORD(value));
    }
    void AddText(const wchar_t* text) {
        for (; *text; ++text) Add16(static_cast<WORD>(*text));
        Add16(0);
    }
    std::vector<WORD> words_;
};

constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;

struct InputBoxState {
    const std::wstring& prompt;
    const std::wstring& title;
    const std::wstring& defaultText;
    HFONT font;
    std::wstring typed;
};

BOOL CALLBACK SetFontOnChild(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    return TRUE;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            const auto* state = reinterpret_cast<const InputBoxState*>(lParam);
            // The very font the main window's labels and list show.
            if (state->font)
                EnumChildWindows(dialog, SetFontOnChild, reinterpret_cast<LPARAM>(state->font));
            SetWindowTextW(dialog, state->title.c_str());
            SetDlgItemTextW(dialog, kInputBoxPromptId, state->prompt.c_str());
            HWND edit = GetDlgItem(dialog, kInputBoxEditId);
            SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // no limit of our own on what is typed
            SetWindowTextW(edit, state->defaultText.c_str());
            SendMessageW(edit, EM_SETSEL, 0, -1);
            SetFocus(edit);
            return FALSE;  // focus was set here
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                auto* state =
                    reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(dialog, DWLP_USER));
                state->typed = WindowText(GetDlgItem(dialog, kInputBoxEditId));
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
    }
    return FALSE;
}

}  // namespace

std::optional<std::wstring> RunInputBox(HWND owner, const std::wstring& prompt,
                                        const std::wstring& title, const std::wstring& defaultText,
                                        HFONT font, int fontDpi) {
    LOGFONTW face{};
    int dpi = fontDpi;
    if (!font || !GetObjectW(font, sizeof face, &face)) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        face = metrics.lfMessageFont;
        HDC screen = GetDC(nullptr);
        dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        font = nullptr;
    }
    DialogTemplate box(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                       240, 84, 4, face, dpi);
    box.AddItem(kStaticAtom, SS_LEFT | SS_NOPREFIX, 7, 7, 170, 48, kInputBoxPromptId, L"");
    box.AddItem(kButtonAtom, BS_DEFPUSHBUTTON | WS_TABSTOP, 185, 7, 48, 14, IDOK, L"确定");
    box.AddItem(kButtonAtom, BS_PUSHBUTTON | WS_TABSTOP, 185, 25, 48, 14, IDCANCEL, L"取消");
    box.AddItem(kEditAtom, ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 63, 226, 13,
                kInputBoxEditId, L"");

    InputBoxState state{prompt, title, defaultText, font, L""};
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), box.get(), owner,
                                                   InputBoxProc, reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) return std::nullopt;
    return state.typed;
}

}  // namespace torvane
