#!/usr/bin/env bash
# A submenu opened by resting the pointer, on a virtual X server driven by real X events: on the loads tab of "kolumo
# edit" the context menu of a load's height (a formula cell) is opened with the right button, the pointer moved onto
# its "System" entry and left there, no click: the submenu with the column's heights opens beside it, each entry's
# value after the tab (as "(l0=3.2 m)") right-aligned in one column; moved on to another entry, the submenu closes
# and the screen there is as before it opened. The server's pixels are read with xwd. Exit 77 (skipped) without
# Xvfb, xdotool, xwd or python3.
set -u
kolumo=$1
data=$2
compare=$3
command -v python3 >/dev/null && command -v xwd >/dev/null || { echo "python3 or xwd missing: skipped"; exit 77; }
source "$(dirname "$0")/../support/xvfb.sh"

edit_example 1920x1080
window_geometry "$main"
# The window's rectangle X0 Y0 X1 Y1 as the server shows it now, saved as the PNG $work/NAME.png.
shot() {
  xwd -root -silent -out "$work/shot.xwd" || fail "xwd cannot take a picture"
  python3 "$(dirname "$0")/../support/xwd_region.py" "$work/shot.xwd" "$work/$1.png" \
    "$((x + $2)),$((y + $3)),$((x + $4)),$((y + $5))" >/dev/null
}

# Points in the window's own coordinates at the dialog font (the pictures show the layout).
xdotool mousemove --window "$main" 370 40 click 1 || fail "xdotool cannot click"  # "Belastung"
sleep 0.5
xdotool mousemove --window "$main" 390 120 click 3  # the first load's dz: its context menu
sleep 0.5
agree menu
# The submenu opens right of the menu, inside its border from 536 to 740, its first entry level with "System".
submenu="536 185 740 260"
shot submenu-before $submenu

xdotool mousemove --window "$main" 440 201  # onto "System", and no click
sleep 1
agree rested
shot submenu-rested $submenu
# Per entry row of the submenu: the first and last dark (text) column, and the widest run of light ones between.
read -r rows < <(python3 - "$work/submenu-rested.png" <<'PY'
import sys, zlib, struct
data = open(sys.argv[1], 'rb').read()
i, idat = 8, b''
while i < len(data):
    n = int.from_bytes(data[i:i + 4], 'big')
    if data[i + 4:i + 8] == b'IHDR':
        w, h = struct.unpack('>II', data[i + 8:i + 16])
    if data[i + 4:i + 8] == b'IDAT':
        idat += data[i + 8:i + 8 + n]
    i += 12 + n
raw = zlib.decompress(idat)
out = []
for top in (8, 28, 48):  # rows of 20 pixels from the submenu's top (185 + 8 = 193, the first row's top)
    cols = [x for x in range(w) if any(max(raw[y * (1 + 3 * w) + 1 + 3 * x:y * (1 + 3 * w) + 4 + 3 * x]) < 96
                                       for y in range(top + 3, top + 17))]
    if not cols:
        out.append('0,0,0')
        continue
    gaps = [b - a - 1 for a, b in zip(cols, cols[1:])]
    out.append('%d,%d,%d' % (cols[0], cols[-1], max(gaps) if gaps else 0))
print(' '.join(out))
PY
)
read -r first second third <<<"$rows"
for row in $first $second $third; do
  IFS=, read -r from to gap <<<"$row"
  [ "$to" -gt 0 ] || fail "no submenu entry after the pointer rested on \"System\": rows $rows"
  IFS=, read -r _ end0 _ <<<"$first"
  [ $((to - end0)) -le 1 ] && [ $((end0 - to)) -le 1 ] ||
    fail "the values after the tabs do not end in one column: rows $rows (first, last dark column, widest gap)"
  [ "$gap" -ge 20 ] || fail "the parts of an entry stand together (a tab drawn in between?): rows $rows"
done

xdotool mousemove --window "$main" 440 153  # on to "Last kopieren"
sleep 0.5
agree moved-on
shot submenu-moved-on $submenu
python3 - "$work/submenu-before.png" "$work/submenu-moved-on.png" <<'PY' || fail "the submenu stayed open on another entry"
import sys, zlib
def pixels(path):
    data, i, idat = open(path, 'rb').read(), 8, b''
    while i < len(data):
        n = int.from_bytes(data[i:i + 4], 'big')
        if data[i + 4:i + 8] == b'IDAT':
            idat += data[i + 8:i + 8 + n]
        i += 12 + n
    return zlib.decompress(idat)
sys.exit(0 if pixels(sys.argv[1]) == pixels(sys.argv[2]) else 1)
PY
xdotool key --window "$main" Escape
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$work"/*.png "$KOLUMO_PICTURES/"
echo "passed"
