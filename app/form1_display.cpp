// Form1 as the display has it: laid out for the DPI and the text size, painted
// in the picture's colours or the system's, and following both as they change.
#include <algorithm>

#include "app/dpi.h"
#include "app/form1.h"
#include "app/form1_layout.h"
#include "app/pictures.h"

namespace torvane {
namespace {

// Two tasks to a row leave each text room for about a dozen characters per
// line, so that even "缩短“无响应程序”等待时间" shows whole and no two texts
// touch; five tasks still fit in three rows.
constexpr SIZE kIconSpacingAt96{164, 62};

}  // namespace

SIZE Form1::FrameSize() const {
    const SIZE client{TwipsToPixels(kClientWidthTwips, dpi_, scale_),
                      TwipsToPixels(kClientHeightTwips, dpi_, scale_)};
    return FrameSizeForClient(client, kWindowStyle, kWindowExStyle, dpi_);
}

void Form1::PlaceFrame(POINT origin) {
    const SIZE frame = FrameSize();
    if (scale_ > 1) {
        const RECT work = WorkArea(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST));
        origin.x = std::max(work.left, std::min(origin.x, work.right - frame.cx));
        origin.y = std::max(work.top, std::min(origin.y, work.bottom - frame.cy));
    }
    SetWindowPos(window_, nullptr, origin.x, origin.y, frame.cx, frame.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::ApplyDpi(int dpi, HMONITOR monitor) {
    dpi_ = dpi;
    // Windows' text size setting makes the message font larger, and the
    // layout grows with it; the font itself is already the size it should be.
    const LOGFONTW at96 = MessageFont(kDefaultDpi);
    const LOGFONTW messageFont = dpi == kDefaultDpi ? at96 : MessageFont(dpi);
    scale_ = TextScale(at96.lfHeight);
    if (scale_ > 1) {
        // Only a grown window needs to know how much room its monitor has.
        const SIZE client{TwipsToPixels(kClientWidthTwips, dpi),
                          TwipsToPixels(kClientHeightTwips, dpi)};
        const SIZE frame = FrameSizeForClient(client, kWindowStyle, kWindowExStyle, dpi);
        const RECT work =
            WorkArea(monitor ? monitor : MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST));
        scale_ = ScaleWithinWorkArea(scale_, {kClientWidthTwips, kClientHeightTwips}, dpi,
                                     {frame.cx - client.cx, frame.cy - client.cy},
                                     {work.right - work.left, work.bottom - work.top});
    }

    // Every control gets the new font before the old one is deleted: a control
    // must not be left holding a deleted font (WM_SETFONT's rule).
    UniqueHfont font(CreateFontIndirectW(&messageFont));
    for (const ControlPlacement& place : kForm1Layout) {
        HWND control = GetDlgItem(window_, place.id);
        SetWindowPos(control, nullptr, TwipsToPixels(place.left, dpi, scale_),
                     TwipsToPixels(place.top, dpi, scale_), TwipsToPixels(place.width, dpi, scale_),
                     TwipsToPixels(place.height, dpi, scale_), SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    tips_.SetFont(font.get(), dpi, scale_);
    // A task's input box, open now, holds the old font as well: it is kept
    // until no dialog of a task can show it.
    if (handlers_.TaskRunning()) {
        retiredFonts_.push_back(std::move(font_));
    } else {
        retiredFonts_.clear();
    }
    font_ = std::move(font);
    owner_.font = font_.get();
    owner_.dpi = dpi;

    // The list's pictures keep their size for the DPI: only the room around them grows.
    HWND listView = GetDlgItem(window_, IDC_LISTVIEW1);
    UniqueImageList pictures = CreateListPictures(instance_, dpi);
    ListView_SetImageList(listView, pictures.get(), LVSIL_NORMAL);
    pictures_ = std::move(pictures);  // the old list goes only once the view has let go of it
    ListView_SetIconSpacing(listView, Scale(kIconSpacingAt96.cx, dpi, scale_),
                            Scale(kIconSpacingAt96.cy, dpi, scale_));
    ListView_Arrange(listView, LVA_DEFAULT);
    InvalidateRect(window_, nullptr, TRUE);
}

void Form1::ApplyPalette() {
    palette_ = ChoosePalette(Win32SystemLook());
    // Made again when next painted, if it is wanted: its uncovered pixels
    // take the face colour of the moment.
    background_.reset();
    backgroundSize_ = {};
    HWND listView = GetDlgItem(window_, IDC_LISTVIEW1);
    ListView_SetBkColor(listView, palette_.listBackground);
    ListView_SetTextColor(listView, palette_.listText);
    ListView_SetTextBkColor(listView, palette_.listBackground);
}

void Form1::PaintBackground(HDC dc) {
    RECT client{};
    GetClientRect(window_, &client);
    const COLORREF oldBrush = SetDCBrushColor(dc, palette_.background);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc, oldBrush);
    if (!palette_.backgroundPicture) return;
    const SIZE size = BackgroundSize(dpi_, scale_);
    if (size.cx != backgroundSize_.cx || size.cy != backgroundSize_.cy) {
        background_ = LoadBackground(instance_, size);
        backgroundSize_ = size;  // not tried again at this size should it fail
    }
    if (!background_) return;
    // Drawn once at the top-left; what does not fit is cut off.
    HDC picture = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(picture, background_.get());
    BitBlt(dc, 0, 0, size.cx, size.cy, picture, 0, 0, SRCCOPY);
    SelectObject(picture, old);
    DeleteDC(picture);
}

void Form1::OnSettingChange(UINT action) {
    // Whatever else changes, "intl" among them (which this program broadcasts
    // itself), changes nothing here.
    if (action == SPI_SETHIGHCONTRAST) {
        ApplyPalette();
        Redraw();
    } else if (action == SPI_SETNONCLIENTMETRICS) {
        RECT frame{};
        GetWindowRect(window_, &frame);
        ApplyDpi(dpi_);
        PlaceFrame({frame.left, frame.top});
        Redraw();
    }
}

void Form1::OnSystemColourChange() {
    // Only top-level windows hear of it: common controls learn of it from
    // their parent (WM_SYSCOLORCHANGE's documentation).
    for (const ControlPlacement& place : kForm1Layout)
        SendMessageW(GetDlgItem(window_, place.id), WM_SYSCOLORCHANGE, 0, 0);
    // High contrast may have come or gone with the colours.
    ApplyPalette();
    Redraw();
}

void Form1::Redraw() {
    RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

}  // namespace torvane
