#!/usr/bin/env bash
# A refused cell on the loads page of "kolumo edit" on a virtual X server, driven by real X events: a letter typed
# into load 4's P and a click on load 6's text: the box says why, a click on its OK closes it, and the next click on
# the "System" tab shows the system page (its pixels, read with xwd, are those of the page as it opened), not the
# loads page with the grid's focus moved. Escape's question, asked while the button is held down on the loads grid,
# answers clicks on "Nein", on its close box and on "Ja", which ends the program with the position as it was. After each step the server's
# pixels of the program's windows equal the program's own picture of them. Exit 77 (skipped) without Xvfb or
# xdotool.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example 1920x1080 "$@"

# Points in the windows' own coordinates at the dialog font (the pictures show the layout).
# box_click WHAT DX [Y]: a click DX pixels right of the middle of the box in $box, in its row of buttons (40 pixels
# above its bottom) or at the height Y.
box_click() {
  local x y w h
  window_geometry "$box"
  xdotool mousemove --window "$box" $((w / 2 + $2)) "${3:-$((h - 40))}" click 1 || fail "$1: xdotool cannot click"
}
box_gone() { wait_for 10 sh -c "! xdotool search --name '^kolumo\$' >/dev/null 2>&1"; }
# page NAME: the pixels of the page below the tabs, as the server shows them, in $work/NAME.png
page() {
  local x y w h
  window_geometry "$main"
  xwd -root -silent -out "$work/$1.xwd" || fail "xwd cannot take $1"
  python3 "$(dirname "$0")/../support/xwd_region.py" "$work/$1.xwd" "$work/$1.png" \
    "$((x + 10)),$((y + 60)),$((x + 1010)),$((y + 300))" >/dev/null || fail "$1: no picture of the page"
}
# refuse: a letter after load 4's P (95.00 kN) and a click on load 6's text; the box says why, its OK is clicked.
refuse() {
  click 609 162  # load 4's P: its row
  sleep 0.3
  click 609 162  # again: its editor
  sleep 0.3
  xdotool type --window "$main" x
  click 88 204  # load 6's text
  wait_for 20 find_box || fail "$1: no message box for the letter"
  agree "$1"
  box_click "$1: OK" 0
  box_gone || fail "$1: the box stays after a click on its OK"
}

need_xwd
sleep 0.5
page system-opened
click 372 42  # "Belastung"
agree loads
# a change that the question below asks about: load 5's P from 160 to 170 kN
click 609 183
sleep 0.3
click 609 183
xdotool key --window "$main" ctrl+a
xdotool type --window "$main" 170
xdotool key --window "$main" Return
agree loads-changed

refuse refused
# the click lands where it aims
click 212 42  # "System"
sleep 0.5
page system-clicked
cmp -s "$work/system-opened.png" "$work/system-clicked.png" ||
  fail "the click on \"System\" after the box did not show the system page"
agree system

# Escape's question, asked while the button is held down on a cell of the loads grid (the grid selecting by
# dragging, the mouse its), answers clicks: "Nein" and the close box keep the window, "Ja" throws the changes away.
click 372 42  # "Belastung"
question() {
  sleep 0.5 # the closed box's last messages first
  xdotool mousemove --window "$main" 88 120 mousedown 1  # load 2's text
  xdotool key --window "$main" Escape
  wait_for 20 find_box || fail "$1: Escape did not ask before throwing the changes away"
  xdotool mouseup 1
}
question "Nein"
agree question
box_click "Nein" 46
box_gone || fail "the question ignored a click on \"Nein\""
kill -0 "$app" 2>/dev/null || fail "kolumo ended after \"Nein\""
question "the close box"
window_geometry "$box"
xdotool mousemove --window "$box" $((w - 14)) 12 click 1
box_gone || fail "the question ignored a click on its close box"
kill -0 "$app" 2>/dev/null || fail "kolumo ended after the close box"
agree kept
question "Ja"
box_click "Ja" -49
wait_for 30 sh -c "! kill -0 $app 2>/dev/null" || fail "the question ignored a click on \"Ja\""
wait "$app"
status=$?
app=""
[ $status -eq 0 ] || fail "kolumo edit ended with $status"
grep -q "cancelled" "$work/err" || fail "kolumo did not say it was cancelled: $(cat "$work/err")"
cmp -s "$data/examples/Stuetze.tqx" "$work/Stuetze.tqx" || fail "the position changed though its changes were thrown away"
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$work"/system-*.png "$KOLUMO_PICTURES/"
echo "passed: $(ls "$work/pictures" | grep -vc -- -screen) pictures"
