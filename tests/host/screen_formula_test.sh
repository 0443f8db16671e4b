#!/usr/bin/env bash
# Names no variable has, typed in "kolumo edit" on a virtual X server by real X events: "abc" in field 2's length
# and Return bring a message box (its text, "Feld 2, Länge: 'abc' nicht definiert", is the headless tests' to
# read; the server's picture of it is kept); after its OK and Escape the server's pixels (xwd) of the system grid
# are those from before, so field 2 stands with its length, section and supports; Ctrl+X on the length changes
# nothing on the screen either. OK saves both fields.
# Then the window, sized to 1800 x 700 and then below its least size by another program (xdotool), takes its least
# size back. Exit 77
# (skipped) without Xvfb, xdotool, xprop, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
command -v python3 >/dev/null && command -v xwd >/dev/null && command -v xprop >/dev/null ||
  { echo "python3, xprop or xwd missing: skipped"; exit 77; }
edit_example 1920x1080 "$@"
window_geometry "$main"
first_w=$w first_h=$h

# grid STEP: the system grid's rows of the supports and fields as the server shows them, as STEP.png; its digest.
grid() {
  local x y w h
  window_geometry "$main"
  python3 "$xwd_region" <(xwd -root -silent) "$work/pictures/$1.png" "$((x + 5)),$((y + 100)),$((x + 860)),$((y + 200))" \
    >/dev/null || fail "$1: cannot read the grid from the screen"
  md5sum <"$work/pictures/$1.png"
}

click 212 42   # "System"
click 145 141  # the length of field 1: its row is marked
sleep 0.5
before=$(grid before)
click 145 163  # the length of field 2 (4.50 m)
xdotool type --window "$main" --delay 20 abc && xdotool key --window "$main" Return
wait_for 20 find_box || fail "\"abc\" in field 2's length brought no message: the field is $(grid abc-taken)"
agree abc-refused
answer_box_with Return || fail "the box stayed after Enter"
xdotool key --window "$main" Escape  # the editor is back on the cell with the kept value
sleep 0.5
click 145 141
sleep 0.5
[ "$(grid after-abc)" = "$before" ] || fail "the grid is not as before \"abc\" (see after-abc.png)"
click 145 163
sleep 0.5
xdotool key --window "$main" ctrl+x
sleep 0.5
find_box && fail "the cut brought a message"
click 145 141
sleep 0.5
[ "$(grid after-cut)" = "$before" ] || fail "the grid is not as before Ctrl+X (see after-cut.png)"
agree after-cut

# Sized to 1800 x 700 the dialog grows; the header bands stand over their columns (the server's picture is kept).
xdotool windowmove "$main" 0 0 windowsize "$main" 1800 700 || fail "xdotool cannot size the window"
wait_for 10 sh -c "xdotool getwindowgeometry $main | grep -q 'Geometry: 1800x700'" || fail "the window took no larger size"
sleep 0.5
agree sized-1800x700
# Sized by another program below its least size (its size hints name it), the window takes its least size back.
read -r least_w least_h < <(xprop -id "$main" WM_NORMAL_HINTS | sed -n 's/.*program specified minimum size: \([0-9]*\) by \([0-9]*\).*/\1 \2/p')
[ -n "${least_w:-}" ] || fail "no least size in the window's hints"
xdotool windowsize "$main" 400 300 || fail "xdotool cannot size the window"
least() { window_geometry "$main"; [ "$w" -eq "$least_w" ] && [ "$h" -eq "$least_h" ]; }
wait_for 10 least || fail "sized to 400x300, the window stays ${w}x${h} (its least size is ${least_w}x${least_h})"
sleep 0.5
agree least-size
xdotool windowsize "$main" "$first_w" "$first_h"
wait_for 10 sh -c "xdotool getwindowgeometry $main | grep -q 'Geometry: ${first_w}x${first_h}'" ||
  fail "the window took no other size after its least"
sleep 0.5
agree sized-again
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"

click 877 457  # OK: the position is saved
saved_lengths "3.2 4.5"
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
