#!/usr/bin/env bash
# F4 and Alt+Down on a list cell that is selected but not open, in "kolumo edit" on a virtual X server driven by real
# X events: load 3's type, selected by one click, drops its list over loads 4 to 7 (the server's pixels there differ
# from those before the key, and the program drew what the server shows); Escape closes it with no box and the rows
# as before. The same for load 3's node after Alt+Down. A text cell opens nothing on F4. OK saves load 3 as it was.
# Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example --xwd 1920x1080 "$@"

click 372 42  # "Belastung"
sleep 0.5

# drop STEP X KEY X0 X1: load 3's cell at X selected by one click, KEY, its list open below the row between X0 and
# X1; Escape closes it.
drop() {
  local step=$1 before open after
  click "$2" 141
  sleep 0.6
  read -r before _ < <(window_region "$step-before" "$4" 152 "$5" 240)
  xdotool key --window "$main" "$3"
  sleep 0.5
  read -r open _ < <(window_region "$step-open" "$4" 152 "$5" 240)
  [ "$open" != "$before" ] || fail "$step: $3 on the selected list cell opened no list (see $step-open.png)"
  agree "$step-open"
  xdotool key --window "$main" Escape
  no_box "$step: Escape in the list"
  read -r after _ < <(window_region "$step-closed" "$4" 152 "$5" 240)
  [ "$after" = "$before" ] || fail "$step: the list is still shown after Escape (see $step-closed.png)"
}
drop f4-type 180 F4 130 250
drop alt-down-node 300 alt+Down 258 358
# A text cell has no list: F4 there changes nothing below it.
click 92 141
sleep 0.6
read -r before _ < <(window_region text-before 25 130 720 240)
xdotool key --window "$main" F4
no_box "F4 on a text cell"
read -r after _ < <(window_region text-after 25 130 720 240)
[ "$after" = "$before" ] || fail "F4 on a text cell changed the grid (see text-after.png)"
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"

click 877 457  # OK: the position is saved
ended_with_success
cmp -s <(grep -o '<load [^>]*>' "$work/Stuetze.tqx" | sed -n 3p) <(grep -o '<load [^>]*>' "$data/examples/Stuetze.tqx" | sed -n 3p) ||
  fail "load 3 is not saved as it was"
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
