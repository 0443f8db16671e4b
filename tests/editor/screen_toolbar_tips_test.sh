#!/usr/bin/env bash
# The document editor's toolbar tips on a virtual X server, driven by real X events and read from the server's
# pixels with xwd: the pointer rests on the first toolbar's bold button, and a tip window is mapped below it, named
# "[Strg-F] Markierung Fett" (the editor's answer) with that text drawn; it goes when the pointer moves onto the text.
# On the second toolbar's indent button the tip "Einrücken" comes, and goes with a click. Exit 77 (skipped) without
# Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example --xwd --document-editor 1920x1080 "$@"
window=$main
window_geometry "$window"
wx=$x wy=$y
keep() { [ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"; return 0; }

xdotool mousemove --window "$window" 57 42 click 1 # the first tab: the document editor
sleep 1
# The window's top rows as the server shows them, for a look at the toolbars.
python3 "$xwd_region" <(xwd -root -silent) "$work/pictures/toolbars.png" "$wx,$wy,$((wx + 900)),$((wy + 160))" \
  >/dev/null || fail "cannot read the screen"

# tip_shown PATTERN: a mapped window named by the pattern, in $tip.
tip_shown() { tip=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) && [ -n "$tip" ]; }
tip_gone() { ! tip_shown "$1"; }
# rest_on NAME X Y PATTERN: the pointer rests at X, Y of the window; the tip named by PATTERN is mapped below the
# pointer with its text drawn, kept as $work/pictures/NAME.png.
rest_on() {
  xdotool mousemove --window "$window" "$2" "$3" || fail "xdotool cannot move the pointer"
  wait_for 5 tip_shown "$4" || fail "no tip \"$4\" after the pointer rested on the $1 button"
  sleep 0.2 # the tip's pixels follow its mapping
  window_geometry "$tip"
  local dark
  read -r dark _ <<<"$(python3 "$xwd_region" <(xwd -root -silent) "$work/pictures/$1.png" "$x,$y,$((x + w)),$((y + h))")"
  [ "$dark" -gt 40 ] || fail "the $1 button's tip shows no text: $dark dark pixels in ${w}x${h}"
  [ "$y" -gt $((wy + $3)) ] || fail "the $1 button's tip stands above the pointer (at $y)"
}

# The first toolbar (from x 21, y 64 of the window, the pictures show the layout): 2 pixels, a gap of 8, five buttons of
# 23, a gap, two buttons, a gap, two, a gap, two, a gap, one, a gap, the formula button and then bold, 370 to 393.
bold="[[]Strg-F[]] Markierung Fett\$"
rest_on bold 381 77 "$bold"
xdotool mousemove --window "$window" 400 300 # onto the text
wait_for 3 tip_gone "$bold" || fail "the bold button's tip stayed when the pointer left the toolbar"

# The second toolbar (from y 90): 2, a gap, the style box of 90, a gap, the height box of 40, a gap, four alignment
# buttons, a gap, line spacing, numbering, bullets and indent, 346 to 369.
indent="^Einr.*cken\$"
rest_on indent 357 101 "$indent"
xdotool click 1
wait_for 3 tip_gone "$indent" || fail "the indent button's tip stayed after the click"
keep
echo "passed"
