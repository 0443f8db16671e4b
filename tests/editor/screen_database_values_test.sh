#!/usr/bin/env bash
# Database values inserted into the document editor on a virtual X server, driven by real X events and pictured from
# the X server with xwd. The position remembers Beton \ Normalbeton \ DIN 1045 \ B 10 with three values checked
# ("N/mm²", "Dehnung bei Höchstspannung" with "‰", "Wärmedehnzahl"): Alt+M in the text and OK of the database dialog
# insert the table. The same program first shows a document that holds that table written by hand (the title
# "Normalbeton - DIN 1045 - B 10", the letters as RTF escapes): the inserted table must show on the screen pixel for
# pixel as that one does, and OK saves it as 7-bit RTF with the same letters. Exit 77 (skipped) without Xvfb, xdotool,
# xwd or python3.
set -u
kolumo=$1
data=$2
source "$(dirname "$0")/../support/xvfb.sh"
need_xwd
pictures=$PWD # kept beside the test for a look

start_xvfb 1920x1080 || fail "no virtual X server would serve: $(cat "$work/xvfb.log")"
export ORMI_REGISTRY="$work/registry.xml"
document_editor_registry
example_position "$data"
cp "$work/Stuetze.tqx" "$work/example.tqx"

# position DOCUMENT: $work/Stuetze.tqx as the example with the editor's document DOCUMENT ("empty" or "table") and
# the material chosen last in the database dialog, with rows 0, 3 and 9 of its values checked (1 + 8 + 512).
position() {
  python3 - "$work/example.tqx" "$work/Stuetze.tqx" "$1" <<'PY' || fail "cannot write the position's document"
import base64, re, sys
head = ("{\\rtf1\\ansi\\ansicpg1252{\\colortbl ;\\red0\\green0\\blue0;\\red7\\green13\\blue255;}{\\fonttbl{\\f0\\fswiss"
        "\\fprq2\\fcharset0 Times New Roman;}{\\f1\\fswiss\\fcharset0 Arial;}}\\viewkind4\\uc1\\f1\\fs20")
bounds = "".join("\\cellx%d" % x for x in (4535, 6236, 6633, 7767, 9071))
def row(cells):
    return ("\\trowd\\trgaph28\\trpaddl28\\trpaddr28\\trpaddfl3\\trpaddfr3" + bounds + "\\pard\\intbl" +
            "".join((" " + c if c else "") + "\\cell" for c in cells) + "\\row")
table = (row(["\\b Normalbeton - DIN 1045 - B 10\\b0", "", "", "", ""]) +
         row(["Nennfestigkeit", "\\cf2 beta_wn", "=", "\\qr 10", "\\qr [N/mm\\'b2]\\cf0 "]) +
         row(["Dehnung bei H\\'f6chstspannung", "\\cf2 epsilon_d", "=", "\\qr -2", "\\qr [\\'89]\\cf0 "]) +
         row(["W\\'e4rmedehnzahl", "\\cf2 alpha_t", "=", "\\qr 1e-05", "\\qr [1/K]\\cf0 "]) + "\\par")
rtf = head + (table + "\\par" if sys.argv[3] == "table" else "") + "}"
part = ('<Skrib iPage="1" rtfData="%s" isEmpty="0"><matImportSettings lastPath="Beton\\Normalbeton\\DIN 1045" '
        'lastObj="B 10"><pathCheck path="Beton\\Normalbeton\\DIN 1045" check="521"/></matImportSettings></Skrib>'
        % base64.b64encode(rtf.encode()).decode())
text = open(sys.argv[1], encoding="utf-8").read()
text = re.sub(r"<Skrib\b.*?(/>|</Skrib>)", "", text, flags=re.S)
text, found = re.subn(r"(<input\b[^>]*>)", lambda m: m.group(1) + part, text, count=1)
open(sys.argv[2], "w", encoding="utf-8").write(text) if found else sys.exit("no input element")
PY
}
# start: "kolumo edit" of $work/Stuetze.tqx as $app in $window, its first tab shown and the caret at the text's end.
start() {
  KOLUMO_ROOT="$work/root" "$kolumo" edit "$work/Stuetze.tqx" >"$work/out" 2>"$work/err" &
  app=$!
  wait_for 20 find_main || fail "no window within 20 s"
  window=$main
  xdotool mousemove --window "$window" 57 42 click 1
  sleep 1
  xdotool mousemove --window "$window" 600 400 click 1
  sleep 0.3
  xdotool key ctrl+End
  sleep 0.5
  window_geometry "$window"
}
# table NAME: the top of the editor's text, where the table stands, as the server shows it: $pictures/NAME.png; prints
# its count of dark (text) pixels.
table() {
  xwd -root -silent >"$work/$1.xwd" || fail "no picture of the server"
  python3 "$xwd_region" "$work/$1.xwd" "$pictures/screen_database_values_$1.png" \
    "$((x + 20)),$((y + 113)),$((x + 700)),$((y + 187))" | cut -d' ' -f1
}

# The table written by hand.
position table
start
sleep 1
reference=$(table reference)
[ "$reference" -gt 500 ] || fail "the document's table shows no text ($reference dark pixels)"
kill "$app"
wait "$app" 2>/dev/null
app=""

# The table inserted from the database.
position empty
start
blank=$(table before)
[ "$blank" -lt 50 ] || fail "the empty document shows text ($blank dark pixels)"
xdotool key alt+m
find_dialog() { dialog=$(xdotool search --name '^Datenbank Import$' 2>/dev/null | head -n1) && [ -n "$dialog" ]; }
wait_for 20 find_dialog || fail "Alt+M opened no database dialog"
sleep 1
xdotool key Return
gone() { ! xdotool search --name '^Datenbank Import$' >/dev/null 2>&1; }
wait_for 20 gone || fail "Return did not end the database dialog"
sleep 1
shown() {
  inserted=$(table inserted)
  [ "$inserted" -gt 500 ]
}
wait_for 20 shown || fail "no table in the document after OK ($inserted dark pixels)"
sleep 0.5
inserted=$(table inserted)
n=$(python3 "$(dirname "$0")/../support/png_pixels.py" differ "$pictures/screen_database_values_reference.png" \
  "$pictures/screen_database_values_inserted.png")
[ "$n" -eq 0 ] || fail "the inserted table is not shown as the table written by hand: $n pixels differ"

# OK saves the table: 7-bit RTF holding every letter.
saved_by_ok 877 457
LC_ALL=C grep -q '[^ -~[:space:]]' <<<"$saved" && fail "the saved document holds bytes beyond 7 bits"
for part in "Normalbeton - DIN 1045 - B 10" "N/mm\\\\'b2" "Dehnung bei H\\\\'f6chstspannung" "\\\\'89" \
  "W\\\\'e4rmedehnzahl"; do
  grep -q -- "$part" <<<"$saved" || fail "the saved document lacks $part: $saved"
done
echo "passed ($reference dark pixels in the table written by hand and in the inserted one, the same pixels)"
