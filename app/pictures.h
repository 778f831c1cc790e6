#pragma once

#include <windows.h>

#include <commctrl.h>

#include "app/common_controls.h"
#include "platform/win32/unique_handles.h"

// The window's pictures, made for one DPI from the embedded renderings.
namespace torvane {

// The background at the size it covers at this DPI and layout scale.
SIZE BackgroundSize(int dpi, double scale);
// The background at that size: the 1× picture as it is when that is its size,
// otherwise the 2× rendering scaled (never a 1× picture blown up) by the
// system's own codecs (WIC). Null if it cannot be decoded.
UniqueHbitmap LoadBackground(HINSTANCE instance, SIZE size);

// ImageList1: the four list pictures at 18 × 19 scaled to this DPI, with
// RGB(192,192,192) drawn transparent.
UniqueImageList CreateListPictures(HINSTANCE instance, int dpi);

}  // namespace torvane
