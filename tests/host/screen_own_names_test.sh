#!/usr/bin/env bash
# The position's own names on a virtual X server, driven by real X events: in "kolumo edit" of a copy of the example
# whose document defines hEG = 3.2, with qk = 3 on the variables page and load 2 given as qk*5*4,5, hEG typed into
# the system page's entry row makes a field of 3.20 m with no box; qk renamed to qq on the variables page leaves the
# load cell saying "'qk' nicht definiert" instead of 67.50 kN; OK names that load in a box and saves the position.
# Then in a new position with the document editor on, hOG = 2,80 typed in the document is a length at once.
# After each step the server's pixels of the window equal the program's own picture of it. The pictures go to
# $KOLUMO_PICTURES when it is set. Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
example_screen --xwd --registry 1920x1080 "$@"
python3 - "$work/Stuetze.tqx" <<'PY' || fail "cannot write the position's names"
import base64, re, sys
# a document line in the formula colour, a variable row qk = 3, and load 2 ("Dach, ständig") as qk*5*4.5
rtf = "{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 hEG = 3.2\\par\r\n}"
part = '<Skrib iPage="1" rtfData="%s" isEmpty="0"/>' % base64.b64encode(rtf.encode()).decode()
names = ('<vardef version="1.1" numOfEntries="1" bPageBreak="0"><entry idx="0" type="0" format="0" textHeight="0"'
         ' digits="2" desc="" varName="qk" val="3" unit="" bExported="0"/></vardef>')
text = open(sys.argv[1], encoding="utf-8").read()
text, inputs = re.subn(r"(<input\b[^>]*>)", lambda m: m.group(1) + part + names, text, count=1)
text, loads = re.subn(r'(<load [^>]*desc="Dach, ständig"[^>]*) val0="620"([^>]*) />',
                      r'\1 val0="67.5"\2><val0 exp="qk*5*4.5" /></load>', text, count=1)
if inputs != 1 or loads != 1:
    sys.exit("no input element or no load 2")
open(sys.argv[1], "w", encoding="utf-8").write(text)
PY

KOLUMO_ROOT="$work/root" KOLUMO_SCREEN_PICTURE="$work/picture.png" "$kolumo" edit "$work/Stuetze.tqx" \
  >"$work/out" 2>"$work/err" &
app=$!
wait_for 20 find_main || fail "no window within 20 s"
mkdir -p "$work/pictures"
find_box && fail "the position with its names defined opened with a box: $(cat "$work/err")"

# Points in the window's own coordinates at the dialog font (the pictures show the layout): the system page's
# rows are 22 pixels apart, field 1 at y 141, the entry row below field 2 at y 185.
click 212 42  # "System"
agree system-before
read -r _ empty < <(window_region entry-row-before 100 176 330 195)
click 145 185
xdotool type --window "$main" --delay 20 hEG && xdotool key --window "$main" Return
sleep 0.5
find_box && fail "hEG was refused in the entry row: $(cat "$work/err")"
agree system-hEG-taken
read -r _ shown < <(window_region entry-row-hEG 100 176 330 195)
# the new field's length and sum where the entry row was empty
[ "$shown" -gt $((empty + 40)) ] || fail "no new field's row after hEG ($empty dark pixels before, $shown after)"

# Load 2's value, P of its row (x 573-647, y 110-129), before and after qk is renamed: "67.50 kN" ends before x 630,
# "'qk' nicht ..." runs on to the cell's edge.
click 372 41  # "Belastung"
agree loads-before
read -r before _ < <(window_region load-2-before 575 111 646 128)
read -r _ before_end < <(window_region load-2-before-end 631 111 646 128)
click 58 41  # the variables page ("Vortexttabelle")
agree variables
click 623 96  # the name of the variable row (qk)
xdotool type --window "$main" --delay 20 qq && xdotool key --window "$main" Return
sleep 0.5
click 372 41  # "Belastung"
agree loads-qk-renamed
read -r after _ < <(window_region load-2-renamed 575 111 646 128)
read -r _ after_end < <(window_region load-2-renamed-end 631 111 646 128)
[ "$after" != "$before" ] || fail "load 2 still shows what it showed before qk was renamed"
[ "$before_end" -eq 0 ] && [ "$after_end" -gt 5 ] ||
  fail "load 2 does not show its mark ($before_end dark pixels at the cell's end before, $after_end after)"
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"

click 877 457  # OK
# the box that names load 2 ("Endsystem, Last 2 (\"Dach, ständig\"): val0 = \"qk*5*4.5\": 'qk' nicht definiert"),
# shown on the screen (its text is in the picture ok-box-screen.png)
wait_for 30 find_box || fail "OK named no input whose name has no value"
agree ok-box
answer_box_with Return || fail "the box stayed after Enter"
ended_with_success
python3 - "$work/Stuetze.tqx" <<'PY' || fail "the saved position is not what the pages showed"
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
problems = []
fields = re.findall(r'<field fieldNr="(\d+)" length="([^"]*)"', text)
if fields != [("0", "3.2"), ("1", "4.5"), ("2", "3.2")]:
    problems.append("fields %s, not 3.2, 4.5 and 3.2 m" % fields)
if not re.search(r'<field fieldNr="2" [^>]*>\s*<length exp="hEG"', text):
    problems.append("field 3 not given as hEG")
if 'varName="qq"' not in text:
    problems.append("the variable not renamed to qq")
if '<val0 exp="qk*5*4.5"' not in text:
    problems.append("load 2 lost its formula")
for p in problems:
    print(p)
sys.exit(1 if problems else 0)
PY

# A new position ("kolumo new") with the document editor on the first tab: hOG = 2,80 typed in the document and
# marked as formula (the toolbar's "f"), then "System" clicked: hOG typed into the entry row (row 2 of a position
# without fields) makes field 1 of 2.80 m at once, with no box; OK saves it.
document_editor_registry
rm "$work/Stuetze.tqx"
KOLUMO_ROOT="$work/root" "$kolumo" new "$work/Stuetze.tqx" >"$work/out" 2>"$work/err" || fail "kolumo new failed"
KOLUMO_ROOT="$work/root" KOLUMO_SCREEN_PICTURE="$work/picture.png" "$kolumo" edit "$work/Stuetze.tqx" \
  >"$work/out" 2>"$work/err" &
app=$!
wait_for 20 find_main || fail "no window of the new position within 20 s"
click 58 41    # "Skrib Vortext"
click 300 200  # into the text
xdotool type --window "$main" --delay 20 "hOG = 2,80" && xdotool key --window "$main" ctrl+a
click 358 75  # "f": the selection as formula
agree new-document-typed
click 205 41  # "System"
click 145 141
xdotool type --window "$main" --delay 20 hOG && xdotool key --window "$main" Return
sleep 0.5
find_box && fail "hOG of the new position's document was refused"
agree new-system-hOG-taken
click 877 457  # OK
saved_lengths 2.8
grep -q '<length exp="hOG"' "$work/Stuetze.tqx" || fail "the new position's field is not given as hOG"
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
