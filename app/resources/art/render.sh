#!/usr/bin/env bash
# Rebuilds every bitmap the program embeds from the SVG sources in this folder.
#
#   background.png      499 x 345   window background (1x)
#   background@2x.png   998 x 690   window background (2x)
#   background.bmp      499 x 345   the 1x background as an 8-bit RLE bitmap, which
#                                   Windows decodes without loading any codec
#   imagelist.bmp        72 x 19    list pictures 1-4, 24-bit, mask colour RGB(192,192,192)
#   imagelist@2x.bmp    144 x 38    the same at 2x
#   hand.cur             32 x 32    hand cursor, hot spot (12,1)
#   app.ico              16/32/48 (BMP, 32-bit) + 256 (PNG)
#
# Needs rsvg-convert (librsvg2-bin), convert (imagemagick), icotool (icoutils)
# and the WenQuanYi Micro Hei font (fonts-wqy-microhei) for the title text.
# It installs nothing; run ./check.sh afterwards.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here"

missing=0
need() { # need TOOL PACKAGE
    if ! command -v "$1" >/dev/null 2>&1; then
        echo "render.sh: '$1' not found - install the Debian package '$2'" >&2
        missing=1
    fi
}
need rsvg-convert librsvg2-bin
need convert imagemagick
need icotool icoutils
need fc-list fontconfig
if [ "$missing" = 0 ] && ! fc-list 'WenQuanYi Micro Hei' family | grep -q .; then
    echo "render.sh: font 'WenQuanYi Micro Hei' not found - install the Debian package 'fonts-wqy-microhei'" >&2
    missing=1
fi
[ "$missing" = 0 ] || exit 1

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Plain PNG output without time stamps, so re-running gives the same bytes.
png_out() { # png_out IN OUT [FORMAT]   FORMAT: png24 (opaque RGB) or png32 (RGBA)
    convert "$1" -strip -define png:exclude-chunks=date,time,bKGD \
        -define png:compression-level=9 "${3:-png24}:$2"
}

# --- window background -------------------------------------------------------
rsvg-convert -w 499 -h 345 background.svg -o "$tmp/bg1.png"
rsvg-convert -w 998 -h 690 background.svg -o "$tmp/bg2.png"
# the background is fully opaque, so it is stored as plain 24-bit RGB
png_out "$tmp/bg1.png" background.png png24
png_out "$tmp/bg2.png" background@2x.png png24
# The picture has few colours, so 256 of them without dithering lose nothing
# visible (PSNR above 50 dB) and RLE8 keeps it about as small as the PNG.
convert "$tmp/bg1.png" +dither -colors 256 -compress RLE BMP3:background.bmp

# --- list pictures -----------------------------------------------------------
# Each picture is drawn on a transparent canvas with hard edges. Alpha is cut
# to all-or-nothing and every see-through pixel becomes exactly RGB(192,192,192),
# the colour the image list treats as transparent. Picture pixels keep their
# own colour and never blend towards the grey.
strip() { # strip SCALE OUT
    local s=$1 out=$2 cells=()
    for i in 1 2 3 4; do
        rsvg-convert -w $((18 * s)) -h $((19 * s)) "list$i.svg" -o "$tmp/list$i-$s.png"
        convert "$tmp/list$i-$s.png" \
            -channel A -threshold 50% +channel \
            -background 'rgb(192,192,192)' -alpha remove -alpha off \
            "$tmp/cell$i-$s.png"
        cells+=("$tmp/cell$i-$s.png")
    done
    convert "${cells[@]}" +append -alpha off -type TrueColor "BMP3:$out"
}
strip 1 imagelist.bmp
strip 2 imagelist@2x.bmp

# --- hand cursor -------------------------------------------------------------
# Only four flat colours and on/off transparency, so icotool stores a classic
# 4-bit BMP entry with an AND mask, which every LoadCursor accepts.
rsvg-convert -w 32 -h 32 cursor.svg -o "$tmp/hand.png"
convert "$tmp/hand.png" -channel A -threshold 50% +channel "png32:$tmp/hand32.png"
icotool -c --cursor --hotspot-x=12 --hotspot-y=1 -o hand.cur "$tmp/hand32.png"

# --- application icon --------------------------------------------------------
# 16 and 32 come from hand-fitted sources, 48 and 256 from icon.svg.
# 16/32/48 are 32-bit BMP entries; 256 is stored as PNG.
rsvg-convert -w 16 -h 16 icon-16.svg -o "$tmp/icon16.png"
rsvg-convert -w 32 -h 32 icon-32.svg -o "$tmp/icon32.png"
rsvg-convert -w 48 -h 48 icon.svg -o "$tmp/icon48.png"
rsvg-convert -w 256 -h 256 icon.svg -o "$tmp/icon256-raw.png"
png_out "$tmp/icon256-raw.png" "$tmp/icon256.png" png32
icotool -c -b 32 -o app.ico "$tmp/icon16.png" "$tmp/icon32.png" "$tmp/icon48.png" \
    -r "$tmp/icon256.png"

echo "render.sh: wrote background.png background@2x.png background.bmp imagelist.bmp imagelist@2x.bmp hand.cur app.ico"
