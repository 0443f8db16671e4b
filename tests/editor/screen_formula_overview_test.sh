#!/usr/bin/env bash
# The formula overview on a virtual X server, opened by its toolbar button and read from the server's pixels with xwd.
# The document defines "a = 1/0", which has no value, and "h = 0,50": a's result cell shows why ("Division durch
# Null.", cut at the cell's edge) across its width, never a lone "0", and the pointer resting on it shows the whole
# reason in a tip; h's cell shows its short "0.5". Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
example_screen --xwd --document-editor 1920x1080 "$@"
cp "$work/Stuetze.tqx" "$work/example.tqx"
head='{\rtf1\ansi\ansicpg1252{\colortbl ;\red0\green0\blue0;\red7\green13\blue255;}{\fonttbl{\f0\fswiss\fcharset0 Arial;}}'
printf '%s\\viewkind4\\uc1\\f0\\fs20\\cf2 a = 1/0\\par\\cf2 h = 0,50\\par\\cf0}' "$head" |
  with_document "$work/example.tqx" "$work/Stuetze.tqx" || fail "cannot write the position's document"
start_editor 600 400

# The first toolbar (from x 21 of the window, y 64): 2 pixels, a gap of 8, five buttons of 23, and after each gap of 8
# two, two and two buttons: the second of the last two, 285 to 308, is the overview's.
find_dialog() { dialog=$(xdotool search --name '^.*bersicht Formeln$' 2>/dev/null | head -n1) && [ -n "$dialog" ]; }
xdotool mousemove --window "$window" 296 77 click 1
wait_for 20 find_dialog || fail "the toolbar's sum button opened no formula overview"
sleep 1
window_geometry "$dialog"
xwd -root -silent >"$work/overview.xwd" || fail "no picture of the server"
python3 "$xwd_region" "$work/overview.xwd" "$work/pictures/formula_overview.png" "$x,$y,$((x + w)),$((y + h))" \
  >/dev/null || fail "cannot cut the overview out of the screen"
# ink X0 Y0 X1 Y1: the count of rows and of columns holding dark ink in that part of the overview's last picture.
ink() { python3 "$xwd_ink" "$work/overview.xwd" "$((x + $1)),$((y + $2)),$((x + $3)),$((y + $4))"; }
# The result column runs from 619 to 676 of the dialog, a's row from 56 to 75 and h's from 77 to 96 (the picture
# shows the layout); a lone digit is 6 columns wide.
read -r _ failed <<<"$(ink 620 57 675 75)"
read -r _ valued <<<"$(ink 620 78 675 96)"
[ "$failed" -ge 20 ] || fail "a's result cell shows no reason: ink in $failed columns"
[ "$valued" -ge 10 ] && [ "$valued" -le 25 ] || fail "h's result cell does not show 0.5: ink in $valued columns"
# The pointer resting on a's result shows the whole reason over the empty unit cell beside it.
read -r _ before <<<"$(ink 681 57 735 75)"
[ "$before" -eq 0 ] || fail "a's unit cell is not empty: ink in $before columns"
xdotool mousemove --window "$dialog" 640 66 || fail "xdotool cannot move the pointer"
tip() {
  xwd -root -silent >"$work/overview.xwd" && read -r _ beside <<<"$(ink 681 57 735 75)" && [ "$beside" -ge 20 ]
}
wait_for 5 tip || fail "no tip with a's whole reason after the pointer rested on its result cell"
python3 "$xwd_region" "$work/overview.xwd" "$work/pictures/formula_overview_tip.png" "$x,$y,$((x + w)),$((y + h))" \
  >/dev/null || fail "cannot cut the overview out of the screen"
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"
echo "passed (the reason in $failed columns of a's result cell and beyond it in its tip, h's 0.5 in $valued)"
