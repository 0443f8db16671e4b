#!/usr/bin/env bash
# A submenu of eleven entries on a virtual X server, driven by real X events: on the first tab of "kolumo edit" a
# free text "Hinweis" is entered, its context menu opened with the right button, "Schriftgrad" clicked: its eleven
# sizes open beside it (the server's pixels, read with xwd, show text in the row of the last, "22"), which is
# clicked; OK saves the entry with that text height. After each step the server's pixels of the program's windows
# equal the program's own picture of them. Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example --xwd 1920x1080 "$@"

# dark X0 Y0 X1 Y1: the count of dark (text) pixels in that rectangle of the window, as the server shows it.
dark() {
  local x y w h
  window_geometry "$main"
  xwd -root -silent -out "$work/shot.xwd" || fail "xwd cannot take a picture"
  python3 "$(dirname "$0")/../support/xwd_region.py" "$work/shot.xwd" "$work/shot.png" \
    "$((x + $1)),$((y + $2)),$((x + $3)),$((y + $4))" | cut -d' ' -f1
}

click 57 42   # the first tab, the variable table
click 173 95  # the arrow of the first entry's kind: its list opens
xdotool type --window "$main" F  # "Freier Text"
xdotool key --window "$main" Return
xdotool type --window "$main" --delay 20 Hinweis  # into its text, whose editor opened
xdotool key --window "$main" Return
click 300 96 3  # its context menu
sleep 0.3
agree menu
# rows of 20 pixels below a margin of 2 from the click point: the deletion and copy of the row, a separator of 8,
# "Format", "Schriftgrad"
click 340 176  # "Schriftgrad"
sleep 0.3
agree sizes
# the submenu beside it: "Standard" level with "Schriftgrad", then 8, 9, 10, 11, 12, 14, 16, 18, 20 and 22
text=$(dark 440 370 530 388)
[ "$text" -gt 20 ] || fail "no entry shown where the submenu's last entry (22) belongs: $text dark pixels"
click 467 379  # "22"
sleep 0.3
agree size-picked
click 877 457  # OK: the position is saved
wait_for 60 sh -c "! kill -0 $app 2>/dev/null" || fail "kolumo did not end after OK"
wait "$app"
status=$?
app=""
[ $status -eq 0 ] || fail "kolumo edit ended with $status"
grep -q '<entry [^>]*textHeight="22"[^>]*text="Hinweis"' "$work/Stuetze.tqx" ||
  fail "the free text was not saved with the text height 22: $(grep -o '<entry [^>]*>' "$work/Stuetze.tqx")"
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"
echo "passed: $(ls "$work/pictures" | grep -vc -- -screen) pictures"
