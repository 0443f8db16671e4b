#!/usr/bin/env bash
# A submenu opened by resting the pointer, on a virtual X server driven by real X events: on the loads tab of "kolumo
# edit" the context menu of a load's height (a formula cell) is opened with the right button, the pointer moved onto
# its "System" entry and left there, no click: the submenu with the column's heights opens beside it, each entry's
# value after the tab (as "(l0=3.2 m)") right-aligned in one column; moved on to another entry, the submenu closes
# and the screen there is as before it opened. The server's pixels are read with xwd. Exit 77 (skipped) without
# Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example --xwd 1920x1080 "$@"
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
n=$(python3 "$(dirname "$0")/../support/png_pixels.py" differ "$work/submenu-before.png" "$work/submenu-rested.png")
[ "$n" -gt 500 ] || fail "no submenu opened after the pointer rested on \"System\": $n pixels changed there"
# Per entry row of the submenu (rows of 20 pixels from 8 below the region's top, the first row's top): the first and
# last dark (text) column, and the widest run of light ones between.
rows=$(python3 "$(dirname "$0")/../support/png_pixels.py" ink "$work/submenu-rested.png" 8 28 48)
read -r first second third <<<"$rows"
for row in $first $second $third; do
  IFS=, read -r from to gap <<<"$row"
  [ "$to" -gt 0 ] || fail "no submenu entry after the pointer rested on \"System\": rows $rows"
  IFS=, read -r from0 to0 _ <<<"$first"
  [ $((to - to0)) -le 1 ] && [ $((to0 - to)) -le 1 ] ||
    fail "the values after the tabs do not end in one column: rows $rows (first, last dark column, widest gap)"
  [ $((from - from0)) -le 1 ] && [ $((from0 - from)) -le 1 ] || fail "the entries do not start in one column: rows $rows"
  [ "$gap" -ge 20 ] || fail "the parts of an entry stand together (a tab drawn in between?): rows $rows"
done

xdotool mousemove --window "$main" 440 153  # on to "Last kopieren"
sleep 0.5
agree moved-on
shot submenu-moved-on $submenu
n=$(python3 "$(dirname "$0")/../support/png_pixels.py" differ "$work/submenu-before.png" "$work/submenu-moved-on.png")
[ "$n" -eq 0 ] || fail "the submenu stayed open on another entry: $n pixels differ from before it opened"
xdotool key --window "$main" Escape
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$work"/*.png "$KOLUMO_PICTURES/"
echo "passed"
