#!/usr/bin/env bash
# Escape in a list cell of the load grid of "kolumo edit" reached by keys, on a virtual X server driven by real X
# events: Tab from a load's text into its type, Return from a length into the direction, Tab from the type's list
# into the node's; after the keys the list is open (the server's pixels below the row differ from those without it);
# Escape ends only that list: no box, the window open, the pixels below the row as before and as the program draws
# them. Return on an entry chosen in the type's list opens the next open cell, and Escape ends only that. Then 24
# lines of another program whose line 11 is empty pasted into a load's text ask one question that says what is left
# out (a line more than a question of new loads alone); after "Nein" the server's pixels of the load grid are those
# from before. A choice in load 5's type list made with the mouse, or closed by F4 or Alt+Up, closes the list and
# keeps the cell open: Escape ends only the cell, with no box. Exit 77 (skipped) without Xvfb, xdotool, xwd or python3; without python3's tkinter the paste is left
# out.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example --xwd 1920x1080 "$@"

# Rows are 21 pixels apart: load 3 at 141, load 6 at 204; columns: text 92, type 180, node 300, length 443.
click 340 42 # "Belastung"
sleep 0.5

# escape_list STEP X0 Y0 X1 Y1: the part of the window where the list drops shows it now (it differs from what it
# showed just before the keys, the cell before open, read as $shown), and after Escape no longer: no box, the window
# open.
escape_list() {
  local step=$1 open after
  sleep 0.5
  read -r open _ < <(window_region "$step-open" "$2" "$3" "$4" "$5")
  [ "$open" != "$shown" ] || fail "$step: no list open after the keys (see $step-open.png)"
  agree "$step-open"
  xdotool key --window "$main" Escape
  no_box "$step: Escape in the list"
  read -r after _ < <(window_region "$step-escaped" "$2" "$3" "$4" "$5")
  [ "$after" = "$shown" ] || fail "$step: the list is still shown after Escape (see $step-escaped.png)"
  agree "$step-escaped"
}

# key_into_list STEP X Y KEY X0 Y0 X1 Y1: the cell at X, Y opened by two clicks, KEY, and Escape in the list it opens.
key_into_list() {
  click "$2" "$3"
  sleep 0.6
  click "$2" "$3"
  sleep 0.5
  read -r shown _ < <(window_region "$1-before" "$5" "$6" "$7" "$8")
  xdotool key --window "$main" "$4"
  escape_list "$1" "$5" "$6" "$7" "$8"
}
# Tab from a text cell: load 3's text, its type's list drops over loads 4 to 7.
key_into_list tab-from-text 92 141 Tab 130 152 250 240
# Return from a value cell into a list cell: load 6's length, its direction's list.
key_into_list return-from-value 443 204 Return 474 215 560 300
# Tab from the type's list into the node's: load 3's type.
key_into_list tab-from-type 180 141 Tab 258 152 358 240
# An entry chosen in the type's list by keys: load 3's type, End lights "Eigengewicht" (the last), which locks the
# cells after the type; Return goes on into load 4's first open cell, its load case, and opens its editor (its
# number lit, which Escape leaves unlit). The choice made the grid set up the row again, which ended the list with no
# key: no cell was open and Escape asked the discard question.
click 180 141
sleep 0.6
click 180 141
sleep 0.5
read -r shown _ < <(window_region chosen-before 28 152 54 170)
xdotool key --window "$main" End Return
sleep 0.5
read -r open _ < <(window_region chosen-open 28 152 54 170)
[ "$open" != "$shown" ] || fail "chosen: no editor open in load 4 after the choice (see chosen-open.png)"
agree chosen-open
xdotool key --window "$main" Escape
no_box "chosen: Escape in the editor after the choice"
read -r after _ < <(window_region chosen-escaped 28 152 54 170)
[ "$after" != "$open" ] || fail "chosen: the editor is still shown after Escape (see chosen-escaped.png)"
agree chosen-escaped

# choose_then_escape STEP KEYS...: load 5's type opened by two clicks (its list drops over loads 6 to 9), a choice
# made by the keys given ("click" clicks the list's fourth entry), after which the list is gone from the rows below
# (they show what they showed before) while the cell stays open; Escape then ends only the cell: no box, the window
# open. A choice made with the mouse, or a list closed by F4 or Alt+Up, left the cell closed, and Escape reached the
# dialog, which asked to discard the position; Alt+Up left the list open.
choose_then_escape() {
  local step=$1 open chosen
  shift
  click 180 183
  sleep 0.6
  read -r shown _ < <(window_region "$step-before" 130 200 250 280)
  click 180 183
  sleep 0.5
  read -r open _ < <(window_region "$step-open" 130 200 250 280)
  [ "$open" != "$shown" ] || fail "$step: no list open after two clicks (see $step-open.png)"
  for key in "$@"; do
    if [ "$key" = click ]; then click 180 250; else xdotool key --window "$main" "$key"; fi
    sleep 0.3
  done
  no_box "$step: the choice"
  read -r chosen _ < <(window_region "$step-chosen" 130 200 250 280)
  [ "$chosen" = "$shown" ] || fail "$step: the list is still shown after the choice (see $step-chosen.png)"
  agree "$step-chosen"
  xdotool key --window "$main" Escape
  no_box "$step: Escape after the choice"
  agree "$step-escaped"
}
choose_then_escape mouse-choice click
choose_then_escape f4-choice Down F4
choose_then_escape alt-up-choice Down alt+Up
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"

python3 -c 'import tkinter' 2>/dev/null || { echo "passed without the paste (no tkinter)"; exit 0; }
lines=""
for i in $(seq 1 24); do [ "$i" -eq 11 ] && lines+=$'\n' || lines+="Absatz $i"$'\n'; done
timeout 60 python3 -c '
import sys, tkinter
r = tkinter.Tk(); r.withdraw(); r.clipboard_clear(); r.clipboard_append(sys.argv[1]); r.mainloop()' "$lines" &
other_program=$!
sleep 1
click 92 120 # load 2's text
sleep 0.6
read -r before _ < <(window_region loads-before 25 60 720 330)
xdotool key --window "$main" ctrl+v
wait_for 20 find_box || fail "no question before the paste"
sleep 0.5
# The question's lines (bands of text rows in the box): the loads it makes, the lines it leaves out, the question.
bands=$(box_lines paste-question)
[ "$bands" -ge 3 ] || fail "the question has $bands lines: it does not say what it leaves out (see paste-question.png)"
answer_box_with n || fail "the question stayed after N"
sleep 0.5
read -r after _ < <(window_region loads-after-no 25 60 720 330)
[ "$after" = "$before" ] || fail "the load grid is not as before after Nein (see loads-after-no.png)"
kill "$other_program" 2>/dev/null
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
