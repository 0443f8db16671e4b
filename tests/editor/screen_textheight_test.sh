#!/usr/bin/env bash
# The document editor's text height on a virtual X server, driven by real X events and pictured from the X server
# with xwd: a typed line is selected, 28 typed into the text-height box and Return. The dialog stays open (Return
# there is not its OK) and the letters on the screen grow to more than twice their height. Then 20 typed into the box
# and Escape: the typing is dropped (the letters keep their height), no question to discard the position comes, and
# the keys go to the text again. Then the context menu: the pointer rests on "Texthöhe" and goes on diagonally across
# the entries below to "24" of the submenu beside it, which stays open on the way, and a click there sets 24 pt. OK
# saves the line at 24 pt (\fs48) and nothing at 20. Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example --xwd --document-editor 1920x1080 "$@"
pictures=$PWD # kept beside the test for a look
window=$main
window_geometry "$window"
wx=$x wy=$y
# The number of rows of the editor's first lines (window rows 115 to 215) that hold dark ink on the selection's
# colour (173, 214, 255): the selected letters' height.
ink_rows() {
  xwd -root -silent >"$work/screen.xwd" &&
    python3 "$xwd_ink" "$work/screen.xwd" $((wx + 30)),$((wy + 115)),$((wx + 700)),$((wy + 215)) ADD6FF | cut -d" " -f1
}

# The text-height box on the second toolbar: its field, $1 typed over what it shows, then the key $2.
type_into_box() {
  xdotool mousemove --window "$window" 140 100 click 1
  sleep 0.3
  xdotool key Home shift+End
  xdotool type --delay 20 "$1"
  xdotool key "$2"
}
# The window's top $3 rows in the xwd picture $2, kept beside the test as screen_textheight_$1.png for a look.
picture() {
  python3 "$xwd_region" "$2" "$pictures/screen_textheight_$1.png" "$wx,$wy,$((wx + 900)),$((wy + $3))" >/dev/null
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
type_into_box 28 Return
sleep 0.5
kill -0 "$app" 2>/dev/null || fail "Return in the text-height box ended the dialog"
grown() { rows=$(ink_rows) && [ "$rows" -gt $((before * 2)) ]; }
wait_for 20 grown || fail "28 and Return left the letters ${rows:-?} rows high (from $before)"
picture 28 "$work/screen.xwd" 300
at28=$rows

type_into_box 20 Escape
sleep 1
find_box && fail "Escape in the text-height box asked: $(xdotool getwindowname "$box")"
kill -0 "$app" 2>/dev/null || fail "Escape in the text-height box ended the dialog"
rows=$(ink_rows)
[ "$rows" -ge $((at28 - 1)) ] || fail "Escape set the typed size: the letters are $rows rows high (at 28 pt $at28)"
picture escape "$work/screen.xwd" 300
xdotool key End
xdotool type --delay 20 " x" # into the text: Escape gave the focus back to it
xdotool key shift+Home

# The context menu on the line; the pointer rests on "Texthöhe" (its submenu opens) and moves on in 0.36 s to "24",
# crossing "Ausrichtung" and "Formatierung", whose own submenus would stand where the pointer goes.
xdotool mousemove --window "$window" 60 125 click 3
sleep 0.7
xdotool mousemove --window "$window" 100 326
sleep 1
# The submenu's place right of the menu (window points) in a picture of the server, as a PNG: its entries above
# those the pointer may light at the end of its way (from y 504 on).
submenu() {
  python3 "$xwd_region" "$1" "$work/$2.png" "$((wx + 258)),$((wy + 316)),$((wx + 336)),$((wy + 500))" >/dev/null
}
xwd -root -silent -out "$work/rested.xwd" && submenu "$work/rested.xwd" rested
from_x=100 from_y=326 to_x=290 to_y=548
# The nine steps of 40 ms in one run of xdotool, so that a slow start of a program (under the sanitizers) makes no
# rest on the way, and the server's picture taken beside them: a picture taken between them would be such a rest,
# which rightly opens the entry's own submenu.
steps=()
for k in 1 2 3 4 5 6 7 8 9; do
  steps+=(mousemove --window "$window" $((from_x + (to_x - from_x) * k / 9)) $((from_y + (to_y - from_y) * k / 9)) sleep 0.04)
done
(sleep 0.12 && xwd -root -silent -out "$work/way.xwd") &
way=$!
xdotool "${steps[@]}" || fail "xdotool cannot move the pointer"
wait "$way" || fail "no picture of the server on the way"
picture menu "$work/way.xwd" 600
xdotool click 1
submenu "$work/way.xwd" on-the-way
n=$(python3 "$(dirname "$0")/../support/png_pixels.py" differ "$work/rested.png" "$work/on-the-way.png")
[ "$n" -eq 0 ] || fail "the submenu of \"Texthöhe\" did not stay open on the way to it: $n pixels changed there"
sleep 0.5
shrunk() { rows=$(ink_rows) && [ "$rows" -lt $((at28 - 1)) ] && [ "$rows" -gt $((before * 2)) ]; }
wait_for 20 shrunk || fail "the click on \"24\" left the letters ${rows:-?} rows high (at 28 pt $at28)"
# OK saves the line at 24 pt.
saved_by_ok 877 457
grep -q '\\fs48 Hohe Schrift x' <<<"$saved" || fail "the line is not saved at 24 pt: $saved"
grep -q '\\fs40' <<<"$saved" && fail "a size of 20 pt is saved: $saved"
echo "passed ($before rows of ink at the start, $at28 at 28 pt, $rows at 24 pt)"
