#include "app/pictures.h"

#include <initguid.h>  // the WIC GUIDs, defined here instead of linking their DLL
#include <wincodec.h>

#include <algorithm>

#include "app/dpi.h"
#include "app/resources/resource_ids.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/system_library.h"

namespace torvane {
namespace {

constexpr SIZE kBackgroundAt96{499, 345};
constexpr SIZE kPictureAt96{18, 19};
constexpr int kPictureCount = 4;
constexpr COLORREF kPictureMask = RGB(192, 192, 192);

struct ResourceBytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

ResourceBytes FindBytes(HINSTANCE instance, int id) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!found) return {};
    HGLOBAL loaded = LoadResource(instance, found);
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(instance, found)};
}

UniqueHbitmap CreateTopDownDib(SIZE size, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return UniqueHbitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0));
}

// Decodes an embedded PNG and scales it to the size asked for.
UniqueHbitmap DecodePicture(HINSTANCE instance, int id, SIZE size) {
    const ResourceBytes bytes = FindBytes(instance, id);
    if (!bytes.data) return nullptr;

    // The codec DLL's own entry point: no COM activation through the registry
    // is needed to decode two pictures, which keeps start-up quick.
    using CreateFactory = HRESULT(WINAPI*)(UINT, IWICImagingFactory**);
    static const auto createFactory =
        SystemFunction<CreateFactory>(L"windowscodecs.dll", "WICCreateImagingFactory_Proxy");
    EnsureComApartment();
    IWICImagingFactory* rawFactory = nullptr;
    if (!createFactory || FAILED(createFactory(WINCODEC_SDK_VERSION, &rawFactory))) return nullptr;
    UniqueCom<IWICImagingFactory> factory(rawFactory);

    IWICStream* rawStream = nullptr;
    if (FAILED(factory->CreateStream(&rawStream))) return nullptr;
    UniqueCom<IWICStream> stream(rawStream);
    if (FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data), bytes.size)))
        return nullptr;

    IWICBitmapDecoder* rawDecoder = nullptr;
    if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnLoad,
                                                &rawDecoder))) {
        return nullptr;
    }
    UniqueCom<IWICBitmapDecoder> decoder(rawDecoder);
    IWICBitmapFrameDecode* rawFrame = nullptr;
    if (FAILED(decoder->GetFrame(0, &rawFrame))) return nullptr;
    UniqueCom<IWICBitmapFrameDecode> frame(rawFrame);

    UINT width = 0;
    UINT height = 0;
    frame->GetSize(&width, &height);
    IWICBitmapSource* source = frame.get();
    UniqueCom<IWICBitmapScaler> scaler;
    if (width != static_cast<UINT>(size.cx) || height != static_cast<UINT>(size.cy)) {
        IWICBitmapScaler* rawScaler = nullptr;
        if (FAILED(factory->CreateBitmapScaler(&rawScaler))) return nullptr;
        scaler.reset(rawScaler);
        if (FAILED(scaler->Initialize(frame.get(), size.cx, size.cy,
                                      WICBitmapInterpolationModeFant))) {
            return nullptr;
        }
        source = scaler.get();
    }

    IWICFormatConverter* rawConverter = nullptr;
    if (FAILED(factory->CreateFormatConverter(&rawConverter))) return nullptr;
    UniqueCom<IWICFormatConverter> converter(rawConverter);
    if (FAILED(converter->Initialize(source, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                     nullptr, 0, WICBitmapPaletteTypeCustom))) {
        return nullptr;
    }

    void* bits = nullptr;
    UniqueHbitmap bitmap = CreateTopDownDib(size, &bits);
    if (!bitmap) return nullptr;
    const UINT stride = static_cast<UINT>(size.cx) * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * static_cast<UINT>(size.cy),
                                     static_cast<BYTE*>(bits)))) {
        return nullptr;
    }
    return bitmap;
}

// The 1x background is an RLE8 bitmap resource. Microsoft documents DIB
// sections as BI_RGB or BI_BITFIELDS only, and says nothing of LoadImage with
// LR_CREATEDIBSECTION on compressed bitmaps; SetDIBits, on the other hand, is
// documented to take RLE-compressed bits ("The scan lines must be aligned on a
// DWORD except for RLE-compressed bitmaps", SetDIBits reference). So the bits
// are decoded by SetDIBits into a plain 32-bit DIB section of our own.
UniqueHbitmap DecodeRleBitmap(HINSTANCE instance, int id, SIZE size) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2));  // RT_BITMAP
    if (!found) return nullptr;
    const auto* info = static_cast<const BITMAPINFO*>(LockResource(LoadResource(instance, found)));
    const DWORD resourceSize = SizeofResource(instance, found);
    if (!info || resourceSize < sizeof(BITMAPINFOHEADER)) return nullptr;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    const DWORD colours = header.biClrUsed ? header.biClrUsed : 256;
    const DWORD bitsOffset = header.biSize + colours * sizeof(RGBQUAD);
    if (header.biCompression != BI_RLE8 || header.biWidth != size.cx ||
        header.biHeight != size.cy || bitsOffset >= resourceSize) {
        return nullptr;
    }
    void* pixels = nullptr;
    UniqueHbitmap bitmap = CreateTopDownDib(size, &pixels);
    if (!bitmap) return nullptr;
    // Runs may skip pixels (delta and end-of-line escapes): those stay the
    // window's face colour rather than whatever the memory held.
    const DWORD face = GetSysColor(COLOR_BTNFACE);
    const DWORD faceBgr = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    std::fill_n(static_cast<DWORD*>(pixels), size.cx * size.cy, faceBgr);
    HDC screen = GetDC(nullptr);
    const int lines =
        SetDIBits(screen, bitmap.get(), 0, static_cast<UINT>(size.cy),
                  reinterpret_cast<const BYTE*>(info) + bitsOffset, info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    if (lines != size.cy) return nullptr;
    return bitmap;
}

}  // namespace

SIZE BackgroundSize(int dpi, double scale) {
    return {Scale(kBackgroundAt96.cx, dpi, scale), Scale(kBackgroundAt96.cy, dpi, scale)};
}

UniqueHbitmap LoadBackground(HINSTANCE instance, SIZE size) {
    // At 96 DPI and the default text size the 1x picture is an RLE bitmap
    // that GDI decodes by itself, so the usual start needs no codec DLL at all.
    if (size.cx == kBackgroundAt96.cx && size.cy == kBackgroundAt96.cy)
        return DecodeRleBitmap(instance, IDB_BACKGROUND, kBackgroundAt96);
    return DecodePicture(instance, IDR_BACKGROUND_2X, size);
}

UniqueImageList CreateListPictures(HINSTANCE instance, int dpi) {
    const SIZE picture{Scale(kPictureAt96.cx, dpi), Scale(kPictureAt96.cy, dpi)};
    const int source = dpi <= kDefaultDpi ? IDB_LIST_PICTURES : IDB_LIST_PICTURES_2X;
    UniqueHbitmap strip(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(source), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    UniqueImageList list(
        Comctl().imageListCreate(picture.cx, picture.cy, ILC_COLOR24 | ILC_MASK, kPictureCount, 0));
    if (!strip || !list) return list;

    BITMAP stripInfo{};
    GetObjectW(strip.get(), sizeof stripInfo, &stripInfo);
    const SIZE stripSize{picture.cx * kPictureCount, picture.cy};
    if (stripInfo.bmWidth == stripSize.cx && stripInfo.bmHeight == stripSize.cy) {
        Comctl().imageListAddMasked(list.get(), strip.get(), kPictureMask);
        return list;
    }
    // Nearest-neighbour scaling keeps the mask colour exact, so edges stay clean.
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    UniqueHbitmap scaled(CreateCompatibleBitmap(screen, stripSize.cx, stripSize.cy));
    HGDIOBJ oldFrom = SelectObject(from, strip.get());
    HGDIOBJ oldTo = SelectObject(to, scaled.get());
    SetStretchBltMode(to, COLORONCOLOR);
    StretchBlt(to, 0, 0, stripSize.cx, stripSize.cy, from, 0, 0, stripInfo.bmWidth,
               stripInfo.bmHeight, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    Comctl().imageListAddMasked(list.get(), scaled.get(), kPictureMask);
    return list;
}

}  // namespace torvane
