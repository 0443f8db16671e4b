#!/usr/bin/env bash
# The preview's 3D view on a virtual X server, driven by real X events: a drag of the pointer over it turns the
# column, a turn of the wheel zooms it, a double click brings back the view the first drawing showed. The server's
# pixels of the view (xwd) differ after each change and equal the first ones again after the reset; every load label
# of the first view stands whole inside it. Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example --xwd 1920x1080 "$@"

# The 3D view is the preview's first frame, in the window's own coordinates at the dialog font (the pictures show
# the layout): from (1047, 70) to (1205, 452), edges excluded.
view_x0=1047 view_y0=70 view_x1=1205 view_y1=452
# region X0 Y0 X1 Y1 [PNG]: the loads' red in that rectangle of the window as the server shows it (taken last by
# view): its count and its leftmost column.
region() {
  python3 "$(dirname "$0")/../support/xwd_region.py" "$work/shot.xwd" "${5:-/dev/null}" \
    "$((x + $1)),$((y + $2)),$((x + $3)),$((y + $4))" | cut -d' ' -f3,4
}
# view NAME: the server's pixels of the view as $work/pictures/NAME.png; sets loads (the count of the loads' red)
# and left (its leftmost column in the window, -1 without).
view() {
  sleep 0.3  # the view has painted what the last event changed
  xwd -root -silent -out "$work/shot.xwd" || fail "xwd cannot take a picture"
  read -r loads left < <(region $view_x0 $view_y0 $view_x1 $view_y1 "$work/pictures/$1.png")
}
# differs A B: the count of pixels in which the pictures A and B differ.
differs() { python3 "$(dirname "$0")/../support/png_pixels.py" differ "$work/pictures/$1.png" "$work/pictures/$2.png"; }
# The view's middle, where the pointer starts.
cx=$(((view_x0 + view_x1) / 2)) cy=$(((view_y0 + view_y1) / 2))

window_geometry "$main"
view first
[ "$loads" -gt 200 ] || fail "no loads in the 3D view: $loads red pixels"
# The loads and their labels stand whole in the view: none of their red in its two outermost columns.
read -r edge _ < <(region $view_x0 $view_y0 $((view_x0 + 2)) $view_y1)
[ "$edge" -eq 0 ] || fail "a load label runs into the view's left edge: $edge red pixels there"
read -r edge _ < <(region $((view_x1 - 2)) $view_y0 $view_x1 $view_y1)
[ "$edge" -eq 0 ] || fail "a load label runs into the view's right edge: $edge red pixels there"

xdotool mousemove --window "$main" "$cx" "$cy" mousedown 1 || fail "xdotool cannot press"
for step in 1 2 3 4 5 6; do xdotool mousemove --window "$main" $((cx + 10 * step)) $((cy + 4 * step)); done
xdotool mouseup 1
view turned
n=$(differs first turned)
[ "$n" -gt 500 ] || fail "a drag over the 3D view did not turn it: $n pixels changed"

xdotool mousemove --window "$main" "$cx" "$cy" click 4 || fail "xdotool cannot turn the wheel"
view zoomed
n=$(differs turned zoomed)
[ "$n" -gt 500 ] || fail "the wheel did not zoom the 3D view: $n pixels changed"

xdotool click --repeat 2 --delay 60 1
view reset
n=$(differs first reset)
[ "$n" -eq 0 ] || fail "a double click did not bring back the first view: $n pixels differ"

[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"
echo "passed"
