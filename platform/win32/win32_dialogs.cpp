#include "platform/win32/win32_dialogs.h"

#include <limits>

#include "platform/win32/input_box.h"
#include "platform/win32/unique_handles.h"

namespace torvane {
namespace {

// The height of one line of text in this font, as a static control draws it.
int LineHeight(HFONT font) {
    HDC screen = GetDC(nullptr);
    if (!screen) return 0;
    const HGDIOBJ before = SelectObject(screen, font);
    TEXTMETRICW metrics{};
    const bool measured = GetTextMetricsW(screen, &metrics);
    SelectObject(screen, before);
    ReleaseDC(nullptr, screen);
    return measured ? metrics.tmHeight : 0;
}

// Before the main window exists: the system's message font, at the system DPI.
UniqueHfont SystemMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return nullptr;
    return UniqueHfont(CreateFontIndirectW(&metrics.lfMessageFont));
}

}  // namespace

int Win32Dialogs::ShowMessageBox(const std::wstring& prompt, int buttons,
                                 const std::wstring& title) {
    const UINT type = buttons == kButtonsYesNo ? MB_YESNO : MB_OK;
    return MessageBoxW(owner_.handle, prompt.c_str(), title.c_str(), type);
}

std::optional<std::wstring> Win32Dialogs::ShowInputBox(const std::wstring& prompt,
                                                       const std::wstring& title,
                                                       const std::wstring& defaultText) {
    return RunInputBox(owner_.handle, prompt, title, defaultText, owner_.font, owner_.dpi);
}

int Win32Dialogs::MessageBoxLineCapacity() {
    // A message box is centred on the work area of its owner's monitor, and
    // drawn in the message font at that monitor's DPI, which is the main
    // window's own font.
    constexpr int kUnknown = std::numeric_limits<int>::max();  // nothing is cut
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(owner_.handle, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return kUnknown;
    UniqueHfont ownFont;
    HFONT font = owner_.font;
    if (!font) {
        ownFont = SystemMessageFont();
        font = ownFont.get();
    }
    const int lineHeight = font ? LineHeight(font) : 0;
    if (lineHeight <= 0) return kUnknown;
    return (monitor.rcWork.bottom - monitor.rcWork.top) / lineHeight;
}

}  // namespace torvane
