#!/usr/bin/env bash
# Escape, Return, Tab and the boxes of "kolumo edit" on a virtual X server, driven by real X events: Escape in the
# load grid's direction combo (its arrow clicked twice) ends only that edit; Escape in the open list of the entry
# row's type makes no load (the server's pixels show the row empty, the saved column its seven loads); a letter in the pre-deformation page's
# inclinations and in the preview's raster gets one box that names the field, and the window stays open on it;
# after No to the discard question the keys go to the grid cell that had them, not into the annotation line. After
# each step the server's pixels of the window equal the program's own picture of it; OK then saves what the cells
# showed and no stray remark. Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example --xwd 1920x1080 "$@"

# one_box STEP: a box comes, is answered with Enter, and no second one follows.
one_box() {
  wait_for 20 find_box || fail "$1: no message box"
  answer_box_with Return || fail "$1: the box stayed after Enter"
  no_box "$1 (a second box)"
}

click 340 42  # "Belastung"
sleep 0.3
click 562 120  # the arrow of the second load's direction: its list opens
sleep 0.5
click 562 120  # and closes again, the combo still open
sleep 0.5
agree combo-open
xdotool key --window "$main" Escape
no_box "Escape in the open combo"
agree combo-ended
click 246 246  # the arrow of the entry row's type: its list opens, no entry lit
sleep 0.5
xdotool key --window "$main" Escape
no_box "Escape in the entry row's list"
agree entry-row-escaped
read -r _ shown < <(window_region entry-row-type 126 238 232 254)
[ "$shown" -le 10 ] || fail "the entry row shows a type after Escape (see entry-row-type.png)"

click 288 42  # "Vorverformung"
sleep 0.3
click 613 162  # um die Y-Achse
xdotool key --window "$main" ctrl+a && xdotool type --window "$main" --delay 20 abc && xdotool key --window "$main" Return
one_box "abc in the Y inclination"
agree y-refused
sleep 0.5
click 613 131  # um die X-Achse
xdotool key --window "$main" ctrl+a && xdotool type --window "$main" --delay 20 xyz && xdotool key --window "$main" Tab
one_box "xyz in the X inclination"
agree x-refused
# the focus is back in the X field: a number typed now is taken
xdotool key --window "$main" ctrl+a && xdotool type --window "$main" --delay 20 "0.6" && xdotool key --window "$main" Tab
no_box "0.6 in the X inclination"
sleep 0.5
click 1583 40  # Raster (cm)
xdotool key --window "$main" ctrl+a && xdotool type --window "$main" --delay 20 abc && xdotool key --window "$main" Return
one_box "abc in the raster"
agree raster-refused

click 340 42  # "Belastung"
sleep 0.3
click 607 120  # Pz of the second load (620 kN)
sleep 0.6
click 607 120  # its editor
xdotool key --window "$main" ctrl+a && xdotool type --window "$main" --delay 20 700 && xdotool key --window "$main" Tab
sleep 0.3
xdotool key --window "$main" Escape  # ends the edit the Tab opened
no_box "Escape in the next cell"
xdotool key --window "$main" Escape  # the window's: the discard question
wait_for 20 find_box || fail "no discard question"
agree question
answer_box_with n || fail "the question stayed after N"
alive "No to the question"
agree after-question
# the keys go to the cell that had them (the moment of the second load)
xdotool type --window "$main" --delay 20 8 && xdotool key --window "$main" Return
no_box "8 in the moment"
agree moment-typed
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"

click 877 457  # OK: the position is saved
ended_with_success
python3 - "$work/Stuetze.tqx" <<'PY' || fail "the saved column is not what the window showed"
import re, sys
text = open(sys.argv[1], encoding='utf-8').read()
problems = []
for name, value in re.findall(r'(Anmerkung_\d)="([^"]*)"', text):
    if value:
        problems.append('%s holds "%s"' % (name, value))
vorver = re.search(r'<vorver [^>]*>', text)
if not vorver or not re.search(r'\bumx="0.6"', vorver.group(0)) or not re.search(r'\bumy="0.4"', vorver.group(0)):
    problems.append('pre-deformation %s, not umx 0.6 and umy 0.4' % (vorver.group(0) if vorver else None))
loads = len(re.findall(r'<load ', text))
if loads != 7:
    problems.append('%d loads, not the seven of the example' % loads)
if '"700"' not in text or '"8"' not in text:
    problems.append('the second load has not 700 kN and 8 kNm')
for p in problems:
    print(p)
sys.exit(1 if problems else 0)
PY
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
