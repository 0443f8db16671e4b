#!/usr/bin/env bash
# A whole session from "kolumo new" on a virtual X server of size $4 (WIDTHxHEIGHT), driven only by X events: a new
# position is made and opened with "kolumo edit"; a field of 4 m clamped at its foot, its section widened to 40 cm,
# a uniform load of 10 kN/m across it in load case 1; the actions formed (the box that asks for load case 1's action
# answered by key, the action then given); a picture entry on the first tab whose file is picked in the file dialog
# by typing its name once the dialog offers it; Escape after all that answered No to the discard question; OK.
# After each step the server's pixels of the program's windows equal the program's own picture of them. The saved
# position calculates, and its foot takes what was entered: 1.35 x 10 kN/m x 4 m = 54 kN across and
# 1.35 x 10 x 4^2 / 2 = 108 kNm in the first design combination. Exit 77 (skipped) without Xvfb, xdotool or python3.
set -u
size=${4:-1920x1080}
command -v python3 >/dev/null || { echo "python3 missing: skipped"; exit 77; }
source "$(dirname "$0")/../support/xvfb.sh"
# the session runs in its scratch folder: the paths given are made absolute first
example_screen --registry "$size" "$(realpath "$1")" "$(realpath "$2")" "$(realpath "$3")"
export KOLUMO_ROOT="$work/root"
# A picture for the first tab's picture entry, where its file dialog opens: a bitmap of 2 x 2 red pixels.
mkdir -p "$work/root/Abbildungen"
python3 - "$work/root/Abbildungen/Skizze.bmp" <<'PY'
import struct, sys
rows = (b'\x00\x00\xff' * 2 + b'\x00\x00') * 2
head = b'BM' + struct.pack('<IHHI', 54 + len(rows), 0, 0, 54)
info = struct.pack('<IiiHHIIiiII', 40, 2, 2, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
open(sys.argv[1], 'wb').write(head + info + rows)
PY
cd "$work" || fail "no scratch folder"
"$kolumo" new Neu.tqx >"$work/new.out" 2>&1 || fail "kolumo new: $(cat "$work/new.out")"
KOLUMO_SCREEN_PICTURE="$work/picture.png" "$kolumo" edit Neu.tqx >"$work/out" 2>"$work/err" &
app=$!
find_main() { main=$(xdotool search --name '^kolumo - Neu\.tqx$' 2>/dev/null | head -n1) && [ -n "$main" ]; }
wait_for 20 find_main || fail "no window within 20 s"
window_on_screen "$main" "$size"
agree opened

# Points in the window's own coordinates at the dialog font (the pictures show the layout); the input dialog has the
# same size on every screen, only the preview beside it gives way.
# type_into X Y TEXT: a grid cell clicked, the text typed and taken with Enter.
type_into() {
  click "$1" "$2"
  xdotool type --window "$main" --delay 20 "$3"
  xdotool key --window "$main" Return
}
# find_named PATTERN: the program's window whose name matches, in $found.
find_named() { found=$(xdotool search --name "$1" 2>/dev/null | head -n1) && [ -n "$found" ]; }
gone() { ! xdotool search --name "$1" >/dev/null 2>&1; }
no_box() { ! find_box || fail "$1: an unexpected message box"; }

click 212 42  # "System"
type_into 145 140 4  # the length of field 1
agree field-length
for x in 473 522 571 620; do click "$x" 140; done  # Cx, Cy, CMx, CMy at the foot
agree foot-clamped
click 390 140  # "Querschnitt" of field 1
wait_for 20 find_named 'Querschnittsdefinition$' || fail "no cross-section dialog"
section=$found
agree section-open
xdotool mousemove --window "$section" 241 105 click 1  # "Breite bx"
xdotool type --window "$section" --delay 20 40
xdotool key --window "$section" Return
agree section-width
xdotool mousemove --window "$section" 523 313 click 1  # OK
wait_for 20 gone 'Querschnittsdefinition$' || fail "the cross-section dialog stays open after OK"
no_box section
agree section-ok

click 372 42  # "Belastung"
type_into 41 98 1     # load case 1: a uniform load across the field, in Y
type_into 610 98 10   # of 10 kN/m
agree load-entered
click 864 198  # "Einwirkungskombinationen bilden": load case 1 has no action yet
wait_for 20 find_box || fail "no question for load case 1's action"
agree action-asked
answer_box_with Return || fail "the message stayed after Enter"
agree action-asked-answered
type_into 818 98 1  # action 1 for load case 1
click 864 198
wait_for 20 find_named '^Einwirkungen definieren$' || fail "no actions dialog"
actions=$found
agree actions-open
xdotool mousemove --window "$actions" 650 406 click 1  # OK: the combinations are formed
wait_for 30 gone '^Einwirkungen definieren$' || fail "the actions dialog stays open after OK"
no_box actions
agree actions-formed

click 57 42  # the first tab, the variable table
click 173 95  # the arrow of the first entry's kind: its list opens
agree kind-list
xdotool type --window "$main" A  # on "Abbildung"
agree kind-picked
xdotool key --window "$main" Return
agree kind-picture
click 666 95  # "Datei wählen"
wait_for 20 find_named 'ffnen$' || fail "no file dialog"
files=$found
agree file-dialog
# it lists the pictures of its first type; the bitmaps are offered once their pattern is typed
xdotool type --window "$files" --delay 20 '*.bmp'
xdotool key --window "$files" Return
agree file-dialog-bitmaps
xdotool key --window "$files" ctrl+a BackSpace
xdotool type --window "$files" --delay 20 Skizze.bmp
xdotool key --window "$files" Return
wait_for 20 gone 'ffnen$' || fail "the file dialog stays open after the name and Enter"
no_box "file chosen"
agree picture-chosen

# Escape asks before the entered column is thrown away; Enter answers the default, No, and the window stays.
xdotool key --window "$main" Escape
wait_for 20 find_box || fail "Escape discarded the entered column without a question"
agree discard-question
answer_box_with Return || fail "the question stayed after Enter"
sleep 0.3
kill -0 "$app" 2>/dev/null || fail "kolumo ended though the discarding was refused"
agree discard-refused
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"

click 877 457  # OK
wait_for 60 sh -c "! kill -0 $app 2>/dev/null" || fail "kolumo did not end after OK"
wait "$app"
status=$?
app=""
[ $status -eq 0 ] || fail "kolumo edit ended with $status"

"$kolumo" calc Neu.tqx >"$work/calc.out" 2>&1 || fail "kolumo calc: $(tail -n 5 "$work/calc.out")"
python3 - Neu.tqx <<'PY' || fail "the saved column is not what was entered"
import base64, re, struct, sys
text = open(sys.argv[1], encoding='utf-8').read()
def doubles(value):
    raw = base64.b64decode(value)
    return struct.unpack('<%dd' % (len(raw) // 8), raw)
problems = []
if 'Skizze.bmp' not in text:
    problems.append('no picture entry of Skizze.bmp')
sections = re.findall(r'<quer [^>]*\bbx="([^"]*)" dy="([^"]*)"', text)
if sections[:1] != [('40', '30')]:
    problems.append('sections %s, not one of 40 x 30 cm' % sections)
rules = re.findall(r'<result art="Ed" regel="([^"]*)"', text)
if not rules or rules[0] != '1.35*(1)':
    problems.append('first design combination %s, not 1.35*(1)' % rules[:1])
foot = None
for attributes in re.findall(r'<Lagerkraefte ([^>]*)/>', text):
    a = dict(re.findall(r'(\w+)="([^"]*)"', attributes))
    if a.get('LK') == '1' and a.get('Typ') == '0':
        foot = a
if foot is None:
    problems.append('no support reactions of combination 1')
else:
    for key, expected in (('Kote', 4.0), ('Apy', -54.0), ('Amx', -108.0), ('Apz', 0.0)):
        got = doubles(foot[key])[-1]
        if abs(got - expected) > 1e-6 * max(1.0, abs(expected)):
            problems.append('%s = %g, not %g' % (key, got, expected))
for p in problems:
    print(p)
sys.exit(1 if problems else 0)
PY
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
