#!/usr/bin/env bash
# The document editor's text-height box on a virtual X server, driven by real X events and pictured from the X
# server with xwd: a typed line is selected, 28 typed into the box and Return. The dialog stays open (Return there
# is not its OK), the letters on the screen grow to more than twice their height, and OK saves the line at 28 pt
# (\fs56). Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
kolumo=$1
data=$2
source "$(dirname "$0")/../support/xvfb.sh"
need_xwd
pictures=$PWD # kept beside the test for a look

export ORMI_REGISTRY="$work/registry.xml"
document_editor_registry
edit_example 1920x1080
window=$main
window_geometry "$window"
wx=$x wy=$y
# The number of rows of the editor's first lines (window rows 115 to 215) that hold dark ink on the selection's
# colour (173, 214, 255): the selected letters' height.
ink_rows() {
  xwd -root -silent >"$work/screen.xwd" &&
    python3 - "$work/screen.xwd" $((wx + 30)) $((wy + 115)) $((wx + 700)) $((wy + 215)) <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
h = struct.unpack('>25I', data[:100])
size, order, bpl, ncolors = h[0], h[7], h[12], h[19]
base, end = size + ncolors * 12, '<' if order == 0 else '>'
x0, y0, x1, y1 = map(int, sys.argv[2:6])
dark = lambda p: max((p >> 16) & 255, (p >> 8) & 255, p & 255) < 96
rows = [struct.unpack_from(end + '%dI' % (x1 - x0), data, base + y * bpl + x0 * 4) for y in range(y0, y1)]
print(sum(any(dark(p) for p in row) and any((p & 0xFFFFFF) == 0xADD6FF for p in row) for row in rows))
PY
}

xdotool mousemove --window "$window" 57 42 click 1 # the first tab
sleep 1
xdotool mousemove --window "$window" 300 200 click 1
sleep 0.5
xdotool type --delay 20 "Hohe Schrift"
xdotool key shift+Home
typed() { rows=$(ink_rows) && [ "$rows" -gt 5 ]; }
wait_for 20 typed || fail "the typed line does not show selected (${rows:-no} rows of ink)"
before=$rows
# The text-height box on the second toolbar: its field, the typed size over what it shows, Return.
xdotool mousemove --window "$window" 140 100 click 1
sleep 0.3
xdotool key Home shift+End
xdotool type --delay 20 "28"
xdotool key Return
sleep 0.5
kill -0 "$app" 2>/dev/null || fail "Return in the text-height box ended the dialog"
grown() { rows=$(ink_rows) && [ "$rows" -gt $((before * 2)) ]; }
wait_for 20 grown || fail "28 and Return left the letters ${rows:-?} rows high (from $before)"
python3 "$xwd_region" "$work/screen.xwd" "$pictures/screen_textheight_28.png" "$wx,$wy,$((wx + 900)),$((wy + 300))" \
  >/dev/null
# OK saves the line at 28 pt.
saved_by_ok 877 457
grep -q '\\fs56 Hohe Schrift' <<<"$saved" || fail "the line is not saved at 28 pt: $saved"
echo "passed ($before rows of ink at the start, $rows at 28 pt)"
