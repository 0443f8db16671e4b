#!/usr/bin/env bash
# Grid cells dragged by the mouse on a virtual X server (xdotool): a press on the selected cell of the left grid, a
# move out of the drag rectangle, a release over an empty cell of the right grid moves the text there, as the probe
# reports and the server's pixels show (text in the target cell, none left in the source). A second drag cancelled
# by Escape over the right grid changes nothing. Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
probe=$1
source "$(dirname "$0")/../support/xvfb.sh"
need_xwd

start_xvfb 1024x768 || fail "no virtual X server would serve: $(cat "$work/xvfb.log")"
mkdir -p "$work/pictures"
"$probe" >"$work/out" 2>"$work/err" &
app=$!
find_main() { main=$(xdotool search --name '^Ziehen$' 2>/dev/null | head -n1) && [ -n "$main" ]; }
wait_for 20 find_main || fail "no window \"Ziehen\""
said() { grep -qx "$1" "$work/out"; }
wait_for 10 said "texts L21=Stütze L31=Wand R51= R61=" || fail "the probe did not start: $(cat "$work/out")"
# cell NAME: the cell's rectangle in x0, y0, x1, y1 and its middle in mx, my
cell() {
  read -r x0 y0 x1 y1 <<<"$(sed -n "s/^cell $1 //p" "$work/out")"
  [ -n "$x0" ] || fail "no cell $1"
  mx=$(((x0 + x1) / 2)) my=$(((y0 + y1) / 2))
}
# ink NAME STEP: the pixels inside the cell (its grid lines left out) far from its most common colour, the
# background, whether the cell is selected (white text on the selection's colour) or not (dark text on white); the
# region is kept as $work/pictures/STEP-NAME.png
ink() {
  local x y w h
  cell "$1"
  window_geometry "$main"
  xwd -root -silent -out "$work/shot.xwd" || fail "cannot read the screen"
  python3 "$xwd_region" "$work/shot.xwd" "$work/pictures/$2-$1.png" \
    "$((x + x0 + 2)),$((y + y0 + 2)),$((x + x1 - 2)),$((y + y1 - 2))" >/dev/null || fail "cannot read the screen"
  python3 - "$work/shot.xwd" $((x + x0 + 2)) $((y + y0 + 2)) $((x + x1 - 2)) $((y + y1 - 2)) <<'PY'
import collections, struct, sys
data = open(sys.argv[1], 'rb').read()
h = struct.unpack('>25I', data[:100])
x0, y0, x1, y1 = map(int, sys.argv[2:6])
base, end = h[0] + h[19] * 12, '<' if h[7] == 0 else '>'
px = [p & 0xFFFFFF for y in range(y0, y1) for p in struct.unpack_from(end + '%dI' % (x1 - x0), data, base + y * h[12] + x0 * 4)]
back = collections.Counter(px).most_common(1)[0][0]
far = lambda p: sum(abs(((p >> s) & 255) - ((back >> s) & 255)) for s in (0, 8, 16)) > 150
print(sum(map(far, px)))
PY
}
sleep 0.5 # the window's pixels follow its mapping
[ "$(ink L21 before)" -gt 0 ] || fail "the source cell shows no text before the drag"
[ "$(ink R51 before)" -eq 0 ] || fail "the target cell shows text before the drag"

cell L21
xdotool mousemove --window "$main" $mx $my mousedown 1 || fail "xdotool cannot press"
sleep 0.2
xdotool mousemove --window "$main" $((mx + 10)) $my
sleep 0.2
cell R51
xdotool mousemove --window "$main" $((mx - 5)) $my
sleep 0.2
xdotool mousemove --window "$main" $mx $my mouseup 1
wait_for 10 said "texts L21= L31=Wand R51=Stütze R61=" || fail "the drop did not move the text: $(cat "$work/out")"
sleep 0.5
[ "$(ink R51 after)" -gt 0 ] || fail "the target cell shows no text after the drop"
[ "$(ink L21 after)" -eq 0 ] || fail "the source cell still shows text after the move"

# Escape: a click selects the left cell (3, 1); the drag from it over the right grid is cancelled.
cell L31
xdotool mousemove --window "$main" $mx $my click 1
sleep 0.8 # the next press is no double click
xdotool mousemove --window "$main" $mx $my mousedown 1
sleep 0.2
xdotool mousemove --window "$main" $((mx + 10)) $my
sleep 0.2
cell R61
xdotool mousemove --window "$main" $mx $my
sleep 0.2
xdotool key --window "$main" Escape
sleep 0.2
xdotool mouseup 1
sleep 0.5
said "texts L21= L31=Wand R51=Stütze R61=" || fail "the probe's cells are not as before the cancelled drag"
grep -q "R61=Wand" "$work/out" && fail "the cancelled drag dropped its text"
[ "$(ink R61 cancelled)" -eq 0 ] || fail "the cancelled drag left text in the target cell"
[ "$(ink L31 cancelled)" -gt 0 ] || fail "the cancelled drag took the source's text"
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"
echo "grid drag on the screen: ok"
