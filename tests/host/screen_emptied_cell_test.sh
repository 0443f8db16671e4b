#!/usr/bin/env bash
# Cells emptied in "kolumo edit" on a virtual X server by real X events (x, BackSpace, Return): field 2's length and
# load case 2's action bring a message box each (their texts are the headless tests' to read; the server's
# pictures are kept), and after its OK and Escape the server's pixels (xwd) of the grid are those from before, so
# field 2 stands with its section and the load case with its action. Load 2's Pz emptied shows the 0 it stores
# (its cell holds text on the screen, not a blank), as load 4's Pz does at once when an empty cell is pasted into it.
# OK saves both fields, the action and the two 0s.
# Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example --xwd 1920x1080 "$@"

# empty X Y: a click on the cell, then x, BackSpace and Return typed into its editor.
empty() {
  click "$1" "$2"
  sleep 0.3
  xdotool type --window "$main" --delay 20 x && xdotool key --window "$main" BackSpace Return
}
# refused STEP: the box of the emptied cell is there, its picture kept; OK and Escape (the editor is back on the cell
# with its kept value).
refused() {
  wait_for 20 find_box || fail "$1: the emptied cell brought no message"
  agree "$1"
  answer_box_with Return || fail "$1: the box stayed after Enter"
  xdotool key --window "$main" Escape
  sleep 0.5
}

click 212 42   # "System"
click 145 141  # field 1's length: its row is marked
sleep 0.5
read -r before _ < <(window_region system-before 5 100 860 200)
empty 145 163  # field 2's length (4.50 m)
refused field-2-emptied
click 145 141
sleep 0.5
read -r after _ < <(window_region system-after 5 100 860 200)
[ "$after" = "$before" ] || fail "the system grid is not as before (see system-after.png)"

click 372 42  # "Belastung"
sleep 0.5
click 90 99   # load 1's text
sleep 0.5
read -r before _ < <(window_region cases-before 760 80 900 160)
empty 817 120  # load case 2's action (2)
refused action-2-emptied
click 90 99
sleep 0.5
read -r after _ < <(window_region cases-after 760 80 900 160)
[ "$after" = "$before" ] || fail "the load-case grid is not as before (see cases-after.png)"

read -r _ shown < <(window_region pz-before 560 112 660 128)
[ "$shown" -gt 10 ] || fail "load 2's Pz shows nothing before it is emptied (see pz-before.png)"
empty 609 120  # load 2's Pz (620 kN)
sleep 0.5
find_box && fail "the emptied Pz brought a message"
click 90 99
sleep 0.5
read -r _ shown < <(window_region pz-emptied 560 112 660 128)
[ "$shown" -gt 10 ] || fail "load 2's emptied Pz shows a blank, not its 0 (see pz-emptied.png)"
agree pz-emptied
click 90 246  # the entry row's text, empty: Ctrl+C copies nothing
xdotool key --window "$main" ctrl+c
click 609 162  # load 4's Pz (95 kN)
sleep 0.5
xdotool key --window "$main" ctrl+v
sleep 0.5
find_box && fail "the empty paste into Pz brought a message"
read -r _ shown < <(window_region pz-pasted 560 154 660 170)
[ "$shown" -gt 10 ] || fail "load 4's Pz shows a blank after an empty paste, not its 0 (see pz-pasted.png)"
agree pz-pasted
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"

click 877 457  # OK: the position is saved
saved_lengths "3.2 4.5"
grep -q 'lf="2" einw="2"' "$work/Stuetze.tqx" || fail "load case 2 was saved without its action"
grep -q 'desc="Dach, ständig" ltype="10" node="0" direction="2" bHasDirection="1" offset="0" length="0" ey="0" ez="0" val0="0"' \
  "$work/Stuetze.tqx" || fail "load 2 was not saved with Pz 0"
grep -q 'desc="Dach, Nutzlast" ltype="10" node="0" direction="2" bHasDirection="1" offset="0" length="0" ey="0" ez="0" val0="0"' \
  "$work/Stuetze.tqx" || fail "load 4 was not saved with Pz 0"
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
