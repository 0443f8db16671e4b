#!/usr/bin/env bash
# Refused and corrected entries in "kolumo edit" on a virtual X server, driven by real X events, with the message
# boxes as windows answered by keys: a letter typed into field 2's length is refused and the next keys correct what
# was typed in the same cell, and so is a negative length, which the calculation would refuse; in the cross-section
# dialog a thickness of -5 cm is refused in its cell, corrected to 15 cm it is raised to 20 cm on "Ja". After each step the server's pixels of the program's window equal the program's own picture of it (nothing
# stale is left on the screen); OK saves what the cells showed. Exit 77 (skipped) without Xvfb or xdotool.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example 1920x1080 "$@"

# Points in the windows' own coordinates at the dialog font (the pictures show the layout).
# keys WINDOW TEXT: the text typed (a leading minus as its key: xdotool would take it for an option), then Enter.
keys() {
  local text=$2
  if [ "${text:0:1}" = - ]; then
    xdotool key --window "$1" minus
    text=${text:1}
  fi
  xdotool type --window "$1" --delay 20 "$text" && xdotool key --window "$1" Return
}
box_says() {
  wait_for 20 find_box || fail "$1: no message box"
  xdotool getwindowname "$box" >/dev/null 2>&1 || fail "$1: the box went away"
  answer_box_with Return || fail "$1: the box stayed after Enter"
}

click 212 42   # "System"
click 145 163  # the length of field 2 (4.50 m)
keys "$main" 5x
box_says "a letter in a length"
agree length-refused
xdotool key --window "$main" BackSpace BackSpace  # the cell holds "5x" again: corrected in it
keys "$main" 7
find_box && fail "the second entry of the length was refused"
agree length-mended
# A moment for the closing editor's posted messages: a click that comes before them lands in the editor still open
# on the cell, and the keys after it are added to its text ("7-2").
sleep 0.5
click 145 163  # the length of field 2 again (7.00 m)
keys "$main" -2
box_says "a negative length"
agree negative-length-refused
xdotool key --window "$main" BackSpace BackSpace  # the cell is open again on "-2"
keys "$main" 6
find_box && fail "the length after the negative one was refused"
agree negative-length-mended

click 389 141  # "Querschnitt" of field 1
find_section() { section=$(xdotool search --name '^TQ-KOLUMO Querschnittsdefinition$' 2>/dev/null | head -n1) && [ -n "$section" ]; }
wait_for 10 find_section || fail "no cross-section dialog"
xdotool mousemove --window "$section" 241 127 click 1  # "Dicke dy" (35 cm)
keys "$section" -5
box_says "a negative thickness"
agree thickness-refused
xdotool key --window "$section" BackSpace BackSpace  # "-5" corrected in the same cell: the minimum-side question
keys "$section" 15
box_says "the minimum side"  # "Ja": raised to 20 cm
agree thickness-corrected
xdotool mousemove --window "$section" 523 313 click 1  # its OK
wait_for 10 sh -c "! xdotool search --name '^TQ-KOLUMO Querschnittsdefinition\$' >/dev/null 2>&1" ||
  fail "the cross-section dialog stays open after OK"
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"

click 877 457  # OK: the position is saved
wait_for 60 sh -c "! kill -0 $app 2>/dev/null" || fail "kolumo did not end after OK"
wait "$app"
status=$?
app=""
[ $status -eq 0 ] || fail "kolumo edit ended with $status"
python3 - "$work/Stuetze.tqx" <<'PY' || fail "the saved column is not what the cells showed"
import re, sys
text = open(sys.argv[1], encoding='utf-8').read()
fields = re.findall(r'<field fieldNr="(\d+)" length="([^"]*)"', text)
sections = re.findall(r'<quer [^>]*\bbx="([^"]*)" dy="([^"]*)"', text)
problems = []
if fields != [('0', '3.2'), ('1', '6')]:
    problems.append('fields %s, not 3.2 and 6 m' % fields)
if sections[:1] != [('35', '20')]:
    problems.append('first section %s, not 35 x 20 cm' % sections[:1])
for p in problems:
    print(p)
sys.exit(1 if problems else 0)
PY
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
