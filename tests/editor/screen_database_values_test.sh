#!/usr/bin/env bash
# Database values inserted into the document editor on a virtual X server, driven by real X events and pictured from
# the X server with xwd. The position remembers Beton \ Normalbeton \ DIN 1045 \ B 10 with three values checked
# ("N/mm²", "Dehnung bei Höchstspannung" with "‰", "Wärmedehnzahl"): Alt+M in the text and OK of the database dialog
# insert the table. The same program first shows a document that holds that table written by hand (the title
# "Normalbeton - DIN 1045 - B 10", the letters as RTF escapes): the inserted table must show on the screen pixel for
# pixel as that one does. Then "Zeile vor der Tabelle" is typed on the line after the table and the table inserted
# again: the document must show pixel for pixel as the two tables written by hand with that line a paragraph of its
# own between them (it ran into the second table's bold title cell). OK saves it as 7-bit RTF with the same letters,
# the line as its own paragraph before the second table, and no paragraph after a table's last row as in a table
# ("\intbl"). Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
example_screen --xwd --document-editor 1920x1080 "$@"
pictures=$PWD # kept beside the test for a look
cp "$work/Stuetze.tqx" "$work/example.tqx"

settings='<matImportSettings lastPath="Beton\Normalbeton\DIN 1045" lastObj="B 10">'
settings+='<pathCheck path="Beton\Normalbeton\DIN 1045" check="521"/></matImportSettings>'
# position DOCUMENT: $work/Stuetze.tqx as the example with the editor's document DOCUMENT ("empty", "table" or
# "tables": the table, the line and the table again) and the material chosen last in the database dialog, with rows
# 0, 3 and 9 of its values checked (1 + 8 + 512).
position() {
  python3 - "$1" <<'PY' | with_document "$work/example.tqx" "$work/Stuetze.tqx" "$settings" ||
import sys
head = ("{\\rtf1\\ansi\\ansicpg1252{\\colortbl ;\\red0\\green0\\blue0;\\red7\\green13\\blue255;}{\\fonttbl{\\f0\\fswiss"
        "\\fprq2\\fcharset0 Times New Roman;}{\\f1\\fswiss\\fcharset0 Arial;}}\\viewkind4\\uc1\\f1\\fs20")
bounds = "".join("\\cellx%d" % x for x in (4535, 6236, 6633, 7767, 9071))
def row(cells):
    return ("\\trowd\\trgaph28\\trpaddl28\\trpaddr28\\trpaddfl3\\trpaddfr3" + bounds + "\\pard\\intbl" +
            "".join((" " + c if c else "") + "\\cell" for c in cells) + "\\row")
table = (row(["\\b Normalbeton - DIN 1045 - B 10\\b0", "", "", "", ""]) +
         row(["Nennfestigkeit", "\\cf2 beta_wn", "=", "\\qr 10", "\\qr [N/mm\\'b2]\\cf0 "]) +
         row(["Dehnung bei H\\'f6chstspannung", "\\cf2 epsilon_d", "=", "\\qr -2", "\\qr [\\'89]\\cf0 "]) +
         row(["W\\'e4rmedehnzahl", "\\cf2 alpha_t", "=", "\\qr 1e-05", "\\qr [1/K]\\cf0 "]))
line = "\\pard\\par Zeile vor der Tabelle\\par"
rtf = head + {"empty": "", "table": table + "\\par\\par",
              "tables": table + line + table + "\\pard\\par"}[sys.argv[1]] + "}"
sys.stdout.write(rtf)
PY
    fail "cannot write the position's document"
}
# start: "kolumo edit" of $work/Stuetze.tqx as $app in $window, its first tab shown and the caret at the text's end.
start() {
  start_editor 600 400
  xdotool key ctrl+End
  sleep 0.5
}
# stop: kolumo ended without saving.
stop() {
  kill "$app"
  wait "$app" 2>/dev/null
  app=""
}
# table NAME [HEIGHT]: the top of the editor's text, where the table stands (74 pixels high, or HEIGHT for both
# tables), as the server shows it: $pictures/NAME.png; prints its count of dark (text) pixels.
table() {
  xwd -root -silent >"$work/$1.xwd" || fail "no picture of the server"
  python3 "$xwd_region" "$work/$1.xwd" "$pictures/screen_database_values_$1.png" \
    "$((x + 20)),$((y + 113)),$((x + 700)),$((y + 113 + ${2:-74}))" | cut -d' ' -f1
}
# differ A B: the count of pixels in which $pictures/screen_database_values_A.png and _B.png differ.
differ() {
  python3 "$(dirname "$0")/../support/png_pixels.py" differ "$pictures/screen_database_values_$1.png" \
    "$pictures/screen_database_values_$2.png"
}
# database_table: Alt+M in the text and Return in the database dialog, which inserts the table at the caret.
find_dialog() { dialog=$(xdotool search --name '^Datenbank Import$' 2>/dev/null | head -n1) && [ -n "$dialog" ]; }
gone() { ! xdotool search --name '^Datenbank Import$' >/dev/null 2>&1; }
database_table() {
  xdotool key alt+m
  wait_for 20 find_dialog || fail "Alt+M opened no database dialog"
  sleep 1
  xdotool key Return
  wait_for 20 gone || fail "Return did not end the database dialog"
  sleep 1
}

# The table written by hand.
position table
start
sleep 1
reference=$(table reference)
[ "$reference" -gt 500 ] || fail "the document's table shows no text ($reference dark pixels)"
stop

# The two tables with the line between them written by hand.
position tables
start
sleep 1
tables=$(table tables 190)
[ "$tables" -gt 1000 ] || fail "the document's two tables show no text ($tables dark pixels)"
stop

# The table inserted from the database.
position empty
start
blank=$(table before)
[ "$blank" -lt 50 ] || fail "the empty document shows text ($blank dark pixels)"
database_table
shown() {
  inserted=$(table inserted)
  [ "$inserted" -gt 500 ]
}
wait_for 20 shown || fail "no table in the document after OK ($inserted dark pixels)"
sleep 0.5
inserted=$(table inserted)
n=$(differ reference inserted)
[ "$n" -eq 0 ] || fail "the inserted table is not shown as the table written by hand: $n pixels differ"

# The line typed after it, and the table inserted again.
xdotool type --delay 30 "Zeile vor der Tabelle"
sleep 0.5
database_table
both() {
  typed=$(table typed 190)
  [ "$typed" -gt 1000 ]
}
wait_for 20 both || fail "no second table in the document ($typed dark pixels)"
sleep 0.5
typed=$(table typed 190)
n=$(differ tables typed)
[ "$n" -eq 0 ] || fail "the line and the second table are not shown as written by hand: $n pixels differ"

# OK saves the tables: 7-bit RTF holding every letter, the line a paragraph of its own before the second table's
# first row, and after each table's last row an ordinary paragraph.
saved_by_ok 877 457
LC_ALL=C grep -q '[^ -~[:space:]]' <<<"$saved" && fail "the saved document holds bytes beyond 7 bits"
for part in "Normalbeton - DIN 1045 - B 10" "N/mm\\\\'b2" "Dehnung bei H\\\\'f6chstspannung" "\\\\'89" \
  "W\\\\'e4rmedehnzahl"; do
  grep -q -- "$part" <<<"$saved" || fail "the saved document lacks $part: $saved"
done
python3 - "$saved" <<'PY' || fail "the saved document: $saved"
import re, sys
rtf = sys.argv[1]
line = rtf.find("Zeile vor der Tabelle")
second = rtf.find("\\trowd", line)
assert line > 0 and second > line, "no line before a second table"
assert "\\par" in rtf[line:second], "the line runs into the second table"
assert "\\intbl" not in rtf[rtf.rfind("\\pard", 0, line):line], "the line is stored as in a table"
for row in re.finditer(r"\\row\b", rtf):
    assert not rtf[row.end():].lstrip().startswith("\\pard\\intbl"), "a paragraph in a table after a last row"
PY
echo "passed ($reference dark pixels in the table written by hand and in the inserted one, $tables in the two tables" \
  "and the typed line, the same pixels)"
