#!/usr/bin/env bash
# A refused formula comes back for correction, in "kolumo edit" on a virtual X server driven by real X events:
# "2*abc" typed into field 2's length and Return bring the refusal's box; after its OK the cell's editor holds
# "2*abc" again with the caret at its end (the server's pixels of the cell are those from before Return, and the
# program drew what the server shows), three BackSpaces and "3" make it "2*3", and OK saves field 2 with the formula
# and its 6 m while field 1 keeps 3.2 m. Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example --xwd 1920x1080 "$@"

click 212 42   # "System"
click 145 141  # field 1's length: its row is marked
sleep 0.5
click 145 163  # field 2's length (4.50 m)
sleep 0.3
xdotool type --window "$main" --delay 20 '2*abc'
sleep 0.5
# The length's cell, with its editor open on what was typed.
read -r typed _ < <(window_region typed 86 153 206 173)
xdotool key --window "$main" Return
wait_for 20 find_box || fail "\"2*abc\" in field 2's length brought no message"
window_geometry "$box"
python3 "$xwd_region" <(xwd -root -silent) "$work/pictures/refusal.png" "$x,$y,$((x + w)),$((y + h))" >/dev/null
answer_box_with Return || fail "the box stayed after Enter"
sleep 0.5
read -r again _ < <(window_region after-box 86 153 206 173)
[ "$again" = "$typed" ] || fail "after the box the cell does not hold what was typed (see typed.png, after-box.png)"
agree after-box
# The caret is at the end: BackSpace takes the last letters, and what is typed goes after the rest.
xdotool key --window "$main" BackSpace BackSpace BackSpace
xdotool type --window "$main" --delay 20 '3'
xdotool key --window "$main" Return
sleep 0.5
find_box && fail "the corrected formula brought a message: $(xdotool getwindowname "$box")"
agree corrected
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"

click 877 457  # OK: the position is saved
saved_lengths "3.2 6"
grep -q '2\*3' "$work/Stuetze.tqx" || fail "the saved position does not hold the formula 2*3"
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
