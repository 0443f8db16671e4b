#!/usr/bin/env bash
# The spin beside "Erste Seitennummer" in the general settings ("Steuerwerte", "Allgemeines") of "kolumo edit" on a
# virtual X server: two real clicks on its up arrow step the number in its field from 1 to 2 to 3, each visible in
# the server's pixels (xwd) of the field and equal to the program's own picture; OK of the dialog and OK of the
# window save nPage="3". Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example --xwd 1920x1080 "$@"
grep -q 'nPage="1"' "$work/Stuetze.tqx" || fail "the example does not start at page 1"

click 143 42   # "Steuerwerte"
click 633 98   # "Allgemeines"
find_dialog() { dialog=$(xdotool search --name '^Allgemeine Einstellungen$' 2>/dev/null | head -n1) && [ -n "$dialog" ]; }
wait_for 10 find_dialog || fail "no general settings dialog after \"Allgemeines\""
window=$main
main=$dialog
window_geometry "$window"
wx=$x wy=$y
window_geometry "$dialog"
# The dialog's box within the program's picture, whose corner is the main window's.
box="$((x - wx)) $((y - wy)) $((x - wx + w)) $((y - wy + h))"
# agree_dialog STEP: the program's picture of the dialog held against the server's pixels of it. The main window
# behind is left out: its caption, drawn inactive in the picture, stays active on the screen while the dialog is up.
agree_dialog() {
  rm -f "$work/picture.png"
  kill -USR1 "$app"
  wait_for 10 test -s "$work/picture.png" || fail "$1: no picture"
  "$compare" "$app" "$work/picture.png" "$work/pictures/$1-screen.png" >/dev/null
  [ $? -le 1 ] || fail "$1: no comparison"
  mv "$work/picture.png" "$work/pictures/$1.png"
  python3 - "$(dirname "$0")/../support" "$work/pictures/$1.png" "$work/pictures/$1-screen.png" $box <<'PY' ||
import sys
sys.path.insert(0, sys.argv[1])
import png_pixels
x0, y0, x1, y1 = map(int, sys.argv[4:8])
(_, _, drawn), (_, _, shown) = png_pixels.read(sys.argv[2]), png_pixels.read(sys.argv[3])
bad = sum(1 for y in range(y0, y1) if drawn[y][3 * x0:3 * x1] != shown[y][3 * x0:3 * x1])
if bad:
    print('%d rows of the dialog differ' % bad)
    sys.exit(1)
PY
    fail "$1: the dialog on the screen is not what was drawn (see $1.png, $1-screen.png)"
}
agree_dialog settings-open

# field STEP: the page number's field as the server shows it, kept as a picture; its digest and its dark pixels.
field() { window_region "$1" 168 70 213 88; }
# The caret put before the number first, where each step leaves it.
click 167 79
sleep 0.3
read -r shown_1 ink_1 < <(field page-1)
[ "$ink_1" -gt 0 ] || fail "the field shows no number (see page-1.png)"
spin_up() { click 225 72; sleep 0.3; }
spin_up
agree_dialog spin-once
read -r shown_2 ink_2 < <(field page-2)
spin_up
agree_dialog spin-twice
read -r shown_3 ink_3 < <(field page-3)
[ "$shown_2" != "$shown_1" ] || fail "the first click on the up arrow left the field as it was (see page-2.png)"
[ "$shown_3" != "$shown_2" ] && [ "$shown_3" != "$shown_1" ] ||
  fail "the second click on the up arrow shows no new number (see page-3.png)"

click 207 193  # the dialog's OK
wait_for 10 eval '! find_dialog' || fail "the general settings dialog stays open after OK"
main=$window
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"
click 877 457  # OK: the position is saved
ended_with_success
grep -o 'nPage="[^"]*"' "$work/Stuetze.tqx" | head -n1 | grep -qx 'nPage="3"' ||
  fail "saved $(grep -o 'nPage="[^"]*"' "$work/Stuetze.tqx" | head -n1), not nPage=\"3\""
echo "the up arrow stepped the first page number from 1 to 3 on the screen, and it was saved"
