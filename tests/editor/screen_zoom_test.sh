#!/usr/bin/env bash
# Ctrl and the wheel over the document editor's text on a virtual X server, driven by real X events and pictured
# from the X server with xwd: a typed line, three notches up with Ctrl held, and its letters stand about 1.3 times
# as high and as wide (from 100 % to 130 %); the zoom box shows "130 %", which OK keeps as the setting (item 15 of
# the list). Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example --xwd --document-editor 1920x1080 "$@"
pictures=$PWD # kept beside the test for a look
window=$main
window_geometry "$window"
wx=$x wy=$y
# The rows and columns of the editor's first lines (window x 10 to 900, y 118 to 318) that hold dark ink.
ink() {
  xwd -root -silent >"$work/screen.xwd" &&
    python3 "$xwd_ink" "$work/screen.xwd" $((wx + 10)),$((wy + 118)),$((wx + 900)),$((wy + 318))
}
picture() {
  python3 "$xwd_region" "$work/screen.xwd" "$pictures/screen_zoom_$1.png" "$wx,$wy,$((wx + 900)),$((wy + 300))" >/dev/null
}

xdotool mousemove --window "$window" 57 42 click 1 # the first tab
sleep 1
xdotool mousemove --window "$window" 300 200 click 1
sleep 0.5
xdotool type --delay 20 "Zoom Probe"
# The whole line shows once its ink stops growing: a program slowed down (under a sanitizer, on a busy machine) shows
# the letters some time after xdotool typed them.
last=""
typed() {
  local now
  now=$(ink) && read -r rows cols <<<"$now" && [ "$rows" -gt 5 ] && [ "$cols" -gt 40 ] && [ "$now" = "$last" ] &&
    return 0
  last=$now
  sleep 1
  return 1
}
wait_for 20 typed || fail "the typed line does not show (${rows:-no} rows, ${cols:-no} columns of ink)"
picture before
before_rows=$rows before_cols=$cols
xdotool mousemove --window "$window" 400 250 keydown ctrl click 4 click 4 click 4 keyup ctrl
grown() {
  read -r rows cols <<<"$(ink)" && [ $((rows * 100)) -ge $((before_rows * 118)) ] &&
    [ $((cols * 100)) -ge $((before_cols * 120)) ] && [ $((cols * 100)) -le $((before_cols * 140)) ]
}
wait_for 20 grown || fail "Ctrl and three notches left the text at $rows x $cols (from $before_rows x $before_cols)"
picture zoomed
saved_by_ok 877 457
grep -q 'name="iZoom"[^>]*"15"' "$ORMI_REGISTRY" ||
  fail "the zoom box did not show 130 %: $(grep -o '<value name="iZoom"[^>]*>' "$ORMI_REGISTRY")"
echo "passed ($before_rows x $before_cols pixels of ink at 100 %, $rows x $cols after three notches)"
