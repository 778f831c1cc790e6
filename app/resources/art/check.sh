#!/usr/bin/env bash
# Checks the rendered bitmaps in this folder against what the program expects:
# sizes, formats, the white work area, the plain label rows, the image-list
# mask colour, the cursor hot spot and the icon entries. Prints a table,
# lists every fault found and exits non-zero if there was any.
# Needs identify/convert (imagemagick) and icotool (icoutils).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here"

for t in identify:imagemagick convert:imagemagick icotool:icoutils od:coreutils; do
    if ! command -v "${t%%:*}" >/dev/null 2>&1; then
        echo "check.sh: '${t%%:*}' not found - install the Debian package '${t#*:}'" >&2
        exit 1
    fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

faults=0
fail() { echo "FAULT: $*" >&2; faults=$((faults + 1)); }

# little-endian integers from a file: u8/u16/u32 FILE OFFSET
u8()  { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' \n'; }
u16() { od -An -tu2 --endian=little -j "$2" -N2 "$1" | tr -d ' \n'; }
u32() { od -An -tu4 --endian=little -j "$2" -N4 "$1" | tr -d ' \n'; }

# one pixel as RRGGBB (alpha ignored): px FILE X Y
px() { convert "$1" -alpha off -depth 8 -format "%[hex:p{$2,$3}]" info: | cut -c1-6 | tr 'A-F' 'a-f'; }
# number of distinct colours in a region: colours FILE GEOMETRY
colours() { convert "$1" -alpha off -crop "$2" +repage -format '%k' info:; }

rows=()
row() { rows+=("$(printf '%-20s %7s  %-22s %s' "$1" "$2" "$3" "$4")"); }

# ---------------------------------------------------------------- background
check_bg() { # check_bg FILE SCALE
    local f=$1 s=$2 dim ok=ok
    [ -f "$f" ] || { fail "$f missing"; row "$f" - - missing; return; }
    dim=$(identify -format '%wx%h' "$f")
    [ "$dim" = "$((499 * s))x$((345 * s))" ] || { fail "$f is $dim"; ok=FAULT; }
    # white work area: cols 150-483, rows 91-298 at 1x, all pure white
    if [ "$(colours "$f" "$((334 * s))x$((208 * s))+$((150 * s))+$((91 * s))")" != 1 ] ||
       [ "$(px "$f" $((150 * s)) $((91 * s)))" != ffffff ]; then
        fail "$f: work area is not plain white"; ok=FAULT
    fi
    # dark outline just outside it (cols 149/484, rows 90/299 at 1x)
    local x y c
    for xy in "149 200" "484 200" "300 90" "300 299" "149 90" "484 299"; do
        read -r x y <<<"$xy"
        c=$(px "$f" $((x * s + s - 1)) $((y * s + s - 1)))
        # dark = every channel below 0x60
        if [ $((16#${c:0:2})) -ge 96 ] || [ $((16#${c:2:2})) -ge 96 ] || [ $((16#${c:4:2})) -ge 96 ]; then
            fail "$f: outline pixel ($x,$y) is #$c, not dark"; ok=FAULT
        fi
    done
    # label rows: x 47-140 plain (the program draws the text there)
    for y in 128 171 214 257; do
        if [ "$(colours "$f" "$((94 * s))x$((18 * s))+$((47 * s))+$((y * s))")" != 1 ]; then
            fail "$f: label row at y=$y is not plain from x=47 to 140"; ok=FAULT
        fi
    done
    # button strip behind (278,310) and (381,310), 63 x 20
    for x in 278 381; do
        if [ "$(colours "$f" "$((63 * s))x$((20 * s))+$((x * s))+$((310 * s))")" != 1 ]; then
            fail "$f: button place at x=$x is not plain"; ok=FAULT
        fi
    done
    row "$f" "$(stat -c %s "$f")" "$dim PNG" "$ok"
}

# ---------------------------------------------------------------- image list
check_list() { # check_list FILE SCALE
    local f=$1 s=$2 dim ok=ok bits w=$((18 * $2)) h=$((19 * $2))
    [ -f "$f" ] || { fail "$f missing"; row "$f" - - missing; return; }
    dim=$(identify -format '%wx%h' "$f")
    [ "$dim" = "$((4 * w))x$h" ] || { fail "$f is $dim"; ok=FAULT; }
    [ "$(u8 "$f" 0)$(u8 "$f" 1)" = 6677 ] || { fail "$f is not a BMP"; ok=FAULT; }
    bits=$(u16 "$f" 28)
    [ "$bits" = 24 ] || { fail "$f is $bits-bit, not 24-bit"; ok=FAULT; }
    [ "$(u32 "$f" 30)" = 0 ] || { fail "$f is compressed"; ok=FAULT; }
    local i x0 c
    for i in 0 1 2 3; do
        x0=$((i * w))
        for xy in "0 0" "$((w - 1)) 0" "0 $((h - 1))" "$((w - 1)) $((h - 1))"; do
            read -r x y <<<"$xy"
            c=$(px "$f" $((x0 + x)) "$y")
            [ "$c" = c0c0c0 ] || { fail "$f picture $((i + 1)): corner ($x,$y) is #$c, not c0c0c0"; ok=FAULT; }
        done
        c=$(px "$f" $((x0 + w / 2)) $((h / 2)))
        [ "$c" != c0c0c0 ] || { fail "$f picture $((i + 1)): centre is the mask grey"; ok=FAULT; }
    done
    # No pixel may be a near miss of the mask grey (an edge blended into it).
    local near
    near=$(convert "$f" -alpha off -depth 8 txt:- | awk '
        NR > 1 && match($0, /\([0-9]+,[0-9]+,[0-9]+/) {
            split(substr($0, RSTART + 1, RLENGTH - 1), v, ",")
            r = v[1] + 0; g = v[2] + 0; b = v[3] + 0
            if (!(r == 192 && g == 192 && b == 192) &&
                r >= 176 && r <= 208 && g >= 176 && g <= 208 && b >= 176 && b <= 208) n++
        }
        END { print n + 0 }')
    [ "$near" = 0 ] || { fail "$f: $near pixels are close to, but not exactly, the mask grey"; ok=FAULT; }
    # Every mask-grey pixel must reach the outside through other grey pixels;
    # grey shut inside a picture would show as a hole.
    local left
    left=$(convert "$f" -bordercolor 'rgb(192,192,192)' -border 1 \
        -fill 'rgb(255,0,255)' -draw 'color 0,0 floodfill' -depth 8 txt:- |
        grep -ci '#C0C0C0' || true)
    [ "$left" = 0 ] || { fail "$f: $left mask-grey pixels are enclosed by a picture"; ok=FAULT; }
    row "$f" "$(stat -c %s "$f")" "$dim BMP ${bits}-bit" "$ok"
}

# ---------------------------------------------------------------- cursor
check_cur() {
    local f=hand.cur ok=ok off list
    [ -f "$f" ] || { fail "$f missing"; row "$f" - - missing; return; }
    [ "$(u16 $f 0) $(u16 $f 2) $(u16 $f 4)" = "0 2 1" ] || { fail "$f: not a one-image cursor file"; ok=FAULT; }
    [ "$(u8 $f 6)x$(u8 $f 7)" = 32x32 ] || { fail "$f: not 32 x 32"; ok=FAULT; }
    [ "$(u16 $f 10),$(u16 $f 12)" = 12,1 ] || { fail "$f: hot spot is $(u16 $f 10),$(u16 $f 12), not 12,1"; ok=FAULT; }
    off=$(u32 $f 18)
    [ "$(u32 $f "$off")" = 40 ] || { fail "$f: image is not a BMP (BITMAPINFOHEADER) entry"; ok=FAULT; }
    list=$(icotool -l "$f")
    grep -q -- '--cursor .*--width=32 --height=32 .*--hotspot-x=12 --hotspot-y=1' <<<"$list" ||
        { fail "$f: icotool -l says: $list"; ok=FAULT; }
    # the hot spot must sit on the finger tip: (12,1) opaque, (12,0) clear
    icotool -x -o "$tmp/hand.png" "$f"
    local a1 a0
    a1=$(convert "$tmp/hand.png" -format '%[fx:p{12,1}.a]' info:)
    a0=$(convert "$tmp/hand.png" -format '%[fx:p{12,0}.a]' info:)
    [ "$a1" = 1 ] && [ "$a0" = 0 ] || { fail "$f: hot spot (12,1) is not on the finger tip"; ok=FAULT; }
    row "$f" "$(stat -c %s "$f")" "32x32 $(u16 $f 10),$(u16 $f 12) hot" "$ok"
}

# ---------------------------------------------------------------- icon
check_ico() {
    local f=app.ico ok=ok n i e w h bits off magic seen=""
    [ -f "$f" ] || { fail "$f missing"; row "$f" - - missing; return; }
    [ "$(u16 $f 0) $(u16 $f 2)" = "0 1" ] || { fail "$f: not an icon file"; ok=FAULT; }
    n=$(u16 $f 4)
    for ((i = 0; i < n; i++)); do
        e=$((6 + 16 * i))
        w=$(u8 $f $e); h=$(u8 $f $((e + 1)))
        [ "$w" = 0 ] && w=256
        [ "$h" = 0 ] && h=256
        bits=$(u16 $f $((e + 6)))
        off=$(u32 $f $((e + 12)))
        magic=$(u32 $f "$off")
        if [ "$w" = 256 ]; then
            # PNG signature starts 89 50 4E 47
            [ "$magic" = 1196314761 ] || { fail "$f: 256 px entry is not PNG"; ok=FAULT; }
        else
            [ "$magic" = 40 ] || { fail "$f: ${w} px entry is not BMP"; ok=FAULT; }
            [ "$bits" = 32 ] || { fail "$f: ${w} px entry is $bits-bit, not 32-bit"; ok=FAULT; }
        fi
        [ "$w" = "$h" ] || { fail "$f: entry $w x $h is not square"; ok=FAULT; }
        seen="$seen $w"
    done
    [ "$seen" = " 16 32 48 256" ] || { fail "$f: entries are$seen, want 16 32 48 256"; ok=FAULT; }
    icotool -l "$f" >/dev/null || { fail "$f: icotool cannot read it"; ok=FAULT; }
    [ "$(stat -c %s $f)" -le 40960 ] || { fail "$f is over 40 KB"; ok=FAULT; }
    row "$f" "$(stat -c %s "$f")" "${seen# }" "$ok"
}

check_bg background.png 1
check_bg background@2x.png 2
check_bg background.bmp 1
# The 8-bit copy must look like the full-colour one.
psnr=$( (compare -metric PSNR background.png background.bmp null: 2>&1 || true) | cut -d' ' -f1)
awk -v p="$psnr" 'BEGIN { exit !(p == "inf" || p + 0 >= 45) }' || fail "background.bmp differs from background.png (PSNR $psnr)"
check_list imagelist.bmp 1
check_list imagelist@2x.bmp 2
check_cur
check_ico

total=0
for f in background.png background@2x.png background.bmp imagelist.bmp imagelist@2x.bmp hand.cur app.ico; do
    [ -f "$f" ] && total=$((total + $(stat -c %s "$f")))
done
[ "$total" -le 153600 ] || fail "rendered files total $total bytes, over 150 KB"

printf '%-20s %7s  %-22s %s\n' file bytes size result
printf '%s\n' "${rows[@]}"
printf '%-20s %7s\n' total "$total"

if [ "$faults" -gt 0 ]; then
    echo "check.sh: $faults fault(s)" >&2
    exit 1
fi
echo "check.sh: all good"
