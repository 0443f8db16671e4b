#!/usr/bin/env bash
# Copy and paste by keys in "kolumo edit" on a virtual X server, driven by real X events: on the system page a click
# on field 1's length (3.20 m), Ctrl+C, a click on field 2's length (4.50 m), Ctrl+V. The server's pixels (xwd) then
# show in field 2's cell the text that field 1's cell shows, which they did not before; they equal the program's
# own picture; another program reads 3.20 from the clipboard; and OK saves 3.2 m for both fields. Then two lengths
# that another program copied (a spreadsheet's column) are pasted into fields 1 and 2 and saved, and four lines of
# another program pasted into the last load's text bring a question: after "Nein" the server's pixels of the load
# grid are those from before, after "Ja" the lines are the texts of that load and of three new ones, which OK saves.
# Exit 77 (skipped) without Xvfb, xdotool, xwd or python3; without python3's tkinter the other program's part is
# left out.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example --xwd 1920x1080 "$@"

# same_text STEP: whether the dark pixels (the text) of field 1's and field 2's length cells lie alike, read from
# the server with xwd; the window's picture is kept as STEP-xwd.png.
same_text() {
  local x y w h
  window_geometry "$main"
  xwd -root -silent >"$work/screen.xwd" || fail "xwd cannot read the screen"
  python3 "$xwd_region" "$work/screen.xwd" "$work/pictures/$1-xwd.png" "$x,$y,$((x + w)),$((y + h))" >/dev/null ||
    fail "$1: cannot cut the window out of the screen"
  python3 - "$work/screen.xwd" "$x" "$y" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
h = struct.unpack('>25I', data[:100])
size, order, bpl, ncolors = h[0], h[7], h[12], h[19]
base, end = size + ncolors * 12, '<' if order == 0 else '>'
wx, wy = int(sys.argv[2]), int(sys.argv[3])
def text(cx, cy):  # the dark pixels of the cell around its centre (rows are 21 or 22 pixels high)
    dark = set()
    for dy in range(-8, 9):
        px = struct.unpack_from(end + '81I', data, base + (wy + cy + dy) * bpl + (wx + cx - 40) * 4)
        dark |= {(dx, dy) for dx, p in enumerate(px) if max((p >> 16) & 255, (p >> 8) & 255, p & 255) < 96}
    return dark
def placed(dark):  # the same text a pixel higher or lower in its row is the same text
    x0, y0 = min(x for x, _ in dark), min(y for _, y in dark)
    return {(x - x0, y - y0) for x, y in dark}
first, second = text(145, 141), text(145, 163)
sys.exit(0 if first and second and placed(first) == placed(second) else 1)
PY
}

mkdir -p "$work/pictures"
click 212 42   # "System"
click 145 141  # field 1's length (3.20 m)
same_text before && fail "field 2's length shows field 1's before anything was pasted"
xdotool key --window "$main" ctrl+c || fail "xdotool cannot press keys"
click 145 163  # field 2's length (4.50 m)
xdotool key --window "$main" ctrl+v
find_box && fail "the paste was refused: $(xdotool getwindowname "$box")"
agree pasted
same_text pasted || fail "field 2's length does not show field 1's 3.20 m after the paste"
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"

# Another program on the screen reads what was copied (Tk's clipboard, where python3 has it).
other=""
if python3 -c 'import tkinter' 2>/dev/null; then
  other=$(timeout 10 python3 -c 'import tkinter; r = tkinter.Tk(); r.withdraw(); print(r.clipboard_get(), end="")') ||
    fail "another program finds nothing on the clipboard after Ctrl+C"
  [ "$other" = 3.20 ] || fail "another program pastes '$other', not 3.20"
fi

click 877 457  # OK: the position is saved
saved_lengths "3.2 3.2"
[ -z "$other" ] && { echo "passed without another program's clipboard (no tkinter): $(ls "$work/pictures" | wc -l) pictures"; exit 0; }

# A column of two lengths copied in a spreadsheet (decimal commas, a line end after each) by another program,
# pasted into field 1's length: both fields take theirs.
# offer TEXT: another program holds TEXT on the clipboard (for a minute); its process in $other_program.
offer() {
  timeout 60 python3 -c '
import sys, tkinter
r = tkinter.Tk(); r.withdraw(); r.clipboard_clear(); r.clipboard_append(sys.argv[1]); r.mainloop()' "$1" &
  other_program=$!
  sleep 1
}
offer $'3,5\n4,0\n'
KOLUMO_ROOT="$work/root" KOLUMO_SCREEN_PICTURE="$work/picture.png" "$kolumo" edit "$work/Stuetze.tqx" \
  >"$work/out" 2>"$work/err" &
app=$!
wait_for 20 find_main || fail "no window within 20 s for the second paste"
click 212 42   # "System"
click 145 141  # field 1's length (3.20 m)
xdotool key --window "$main" ctrl+v
find_box && fail "the other program's lengths were refused: $(xdotool getwindowname "$box")"
agree pasted-from-another-program
kill "$other_program" 2>/dev/null

offer $'Wand\nStütze\nRiegel\nSockel\n'
click 340 42  # "Belastung"
sleep 0.5
click 90 225  # the last load's text ("Wind auf Fassade")
sleep 0.5
read -r before _ < <(window_region loads-before 25 60 720 330)
xdotool key --window "$main" ctrl+v
wait_for 20 find_box || fail "no question before the paste makes three loads"
agree paste-question
answer_box_with n || fail "the question stayed after N"
sleep 0.5
read -r after _ < <(window_region loads-after-no 25 60 720 330)
[ "$after" = "$before" ] || fail "the load grid is not as before after Nein (see loads-after-no.png)"
xdotool key --window "$main" ctrl+v
wait_for 20 find_box || fail "no question before the second paste"
answer_box_with j || fail "the question stayed after J"
sleep 0.5
find_box && fail "a box after Ja: $(xdotool getwindowname "$box")"
agree pasted-loads
kill "$other_program" 2>/dev/null
click 877 457  # OK
saved_lengths "3.5 4"
python3 - "$work/Stuetze.tqx" <<'PY' || fail "the saved loads are not those the paste made"
import re, sys
texts = re.findall(r'<load [^>]*desc="([^"]*)"', open(sys.argv[1], encoding='utf-8').read())
wanted = ['Wand', 'Stütze', 'Riegel', 'Sockel']
if len(texts) != 10 or texts[6:] != wanted:
    print('load texts %s, not the first six of the example and %s' % (texts, wanted))
    sys.exit(1)
PY
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
