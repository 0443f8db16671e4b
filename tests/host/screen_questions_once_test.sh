#!/usr/bin/env bash
# Questions only when something changed, in "kolumo edit" on a virtual X server driven by real X events, with the
# boxes as windows answered by keys: in the cross-section dialog of field 1 a bar area of 0.5 cm² (below the least
# 1.13 cm² of EC2 NA (DE)) asks once; after "Nein" two Returns with nothing changed ask nothing (each asked again,
# "Ja" the default), a new area asks again once, and OK asks nothing. On the system page, four lengths pasted into
# field 1 whose second line is text ("12 Pos. 12") ask one question that says the new fields and the value left out,
# quoted as pasted; after "Ja" no second box comes. Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example --xwd 1920x1080 "$@"
keep() { [ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"; return 0; }
no_box() {
  sleep 0.6
  find_box && fail "$1: a box that should not be there: $(box_text)"
  alive "$1"
}
# The text of the box in $box, read back from the program's own message log is not at hand: its picture.
box_text() {
  window_geometry "$box"
  python3 "$xwd_region" <(xwd -root -silent) "$work/pictures/box-$(date +%s%N).png" "$x,$y,$((x + w)),$((y + h))" \
    >/dev/null 2>&1
  echo "(see the box's picture)"
}
# one_box STEP KEY: exactly one box comes, answered by KEY; no second one after it.
one_box() {
  wait_for 20 find_box || fail "$1: no question"
  window_geometry "$box"
  python3 "$xwd_region" <(xwd -root -silent) "$work/pictures/$1.png" "$x,$y,$((x + w)),$((y + h))" >/dev/null
  answer_box_with "$2" || fail "$1: the question stayed after $2"
  no_box "$1: after $2"
}

click 212 42   # "System"
sleep 0.5
click 389 141  # "Querschnitt" of field 1
find_section() { section=$(xdotool search --name '^TQ-KOLUMO Querschnittsdefinition$' 2>/dev/null | head -n1) && [ -n "$section" ]; }
wait_for 10 find_section || fail "no cross-section dialog"
sleep 0.5
window_geometry "$section"
python3 "$xwd_region" <(xwd -root -silent) "$work/pictures/section.png" "$x,$y,$((x + w)),$((y + h))" >/dev/null
# "Bewehrung pro Eisen" (3.14 cm²), five rows of 21 pixels below "Dicke dy" at 127
xdotool mousemove --window "$section" 241 232 click 1
xdotool type --window "$section" --delay 20 "0,5" && xdotool key --window "$section" Return
one_box least-bar n
# Return went on into the strut inclination and opened it; each Return ends an open cell with nothing changed and
# opens the next.
for i in 1 2; do
  xdotool key --window "$section" Return
  no_box "Return $i after Nein"
  find_section || fail "Return $i closed the cross-section dialog"
done
# A new area asks again, once; OK asks nothing.
xdotool mousemove --window "$section" 241 232 click 1
xdotool type --window "$section" --delay 20 "0,6" && xdotool key --window "$section" Return
one_box least-bar-again n
xdotool mousemove --window "$section" 523 313 click 1  # its OK
no_box "OK after Nein"
wait_for 10 sh -c "! xdotool search --name '^TQ-KOLUMO Querschnittsdefinition\$' >/dev/null 2>&1" ||
  fail "the cross-section dialog stays open after OK"
keep

# The paste: another program's clipboard (xclip keeps it while it runs).
command -v xclip >/dev/null || { echo "passed without the paste (no xclip)"; exit 0; }
printf '1,5\n12 Pos. 12\n2,0\n3,0\n' | timeout 60 xclip -selection clipboard -loops 3 2>/dev/null &
sleep 0.5
click 145 142  # the length of field 1
sleep 0.6
xdotool key --window "$main" ctrl+v
wait_for 20 find_box || fail "no question before the paste"
sleep 0.3
# Its lines: the new fields, the value left out and why, the question.
bands=$(box_lines paste-question)
[ "$bands" -ge 4 ] || fail "the question has $bands lines: it does not say the value it leaves out (see paste-question.png)"
answer_box_with Return || fail "the question stayed after Return"
no_box "after Ja to the paste"
keep
echo "passed"
