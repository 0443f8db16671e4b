#!/usr/bin/env bash
# Moving through text on a virtual X server, driven by real X events and pictured from the X server with xwd: in the
# preview's "Vorschau Ausgabe" the example's report of 44 printed pages is paged with Page Down, a view at a time,
# to its thirtieth page (the vertical scroll bar's thumb two thirds down its track); Ctrl+Home returns to its start.
# Then, with the document editor on the first tab ("bSkrib"), three typed lines: a click on the first, Down twice and
# a typed X put the X in the third line; a drag from the first line's start to the third's selects the first two
# lines (the selection's colour on their rows only); OK saves the text with the X in its third line. Exit 77
# (skipped) without Xvfb, xdotool or xwd.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
example_screen --xwd --registry 1920x1080 "$@"
xwd_track="$(dirname "$0")/../support/xwd_track.py"
pictures=$PWD # kept beside the test for a look

# The thumb of the vertical scroll bar in the column $1 between the rows $2 and $3: how much of the track (grey 200)
# lies above it, in percent of the track.
thumb_percent() {
  python3 - "$work/screen.xwd" "$1" "$2" "$3" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
h = struct.unpack('>25I', data[:100])
size, order, bpl, ncolors = h[0], h[7], h[12], h[19]
base, end = size + ncolors * 12, '<' if order == 0 else '>'
x, a, b = map(int, sys.argv[2:5])
grey = [(struct.unpack_from(end + 'I', data, base + y * bpl + x * 4)[0] & 0xFFFFFF) == 0xC8C8C8 for y in range(a, b)]
runs, y = [], 0
while y < len(grey):
    if grey[y]:
        start = y
        while y < len(grey) and grey[y]: y += 1
        runs.append((start, y))
    y += 1
track = sum(e - s for s, e in runs)
# one run: the thumb stands at the end with the larger gap
above = runs[0][1] - runs[0][0] if len(runs) > 1 else (0 if runs[0][0] > len(grey) - runs[0][1] else track)
print(100 * above // track)
PY
}

KOLUMO_ROOT="$work/root" "$kolumo" edit "$work/Stuetze.tqx" >"$work/out" 2>"$work/err" &
app=$!
wait_for 20 find_window || fail "no window within 20 s"
# The results tab calculates; then "Vorschau Ausgabe" shows the report.
xdotool mousemove --window "$window" 444 41 click 1
diagram() { [ "$(python3 "$xwd_region" <(xwd -root -silent) /dev/null 1230,380,1780,760 | cut -d' ' -f2)" -gt 1000 ]; }
wait_for 90 diagram || fail "no result diagram in the preview after the results tab"
xdotool mousemove --window "$window" 1141 46 click 1
report() {
  xwd -root -silent >"$work/screen.xwd" &&
    read -r dark _ loads _ < <(python3 "$xwd_region" "$work/screen.xwd" /dev/null 1180,360,1780,760) &&
    [ "$dark" -gt 3000 ] && [ "$loads" -gt 1000 ] &&
    bar_column=$(python3 "$xwd_track" "$work/screen.xwd" row 600 1700 1780) && [ "$bar_column" -ge 1700 ]
}
wait_for 90 report || fail "no report with a vertical scroll bar in the output tab"
start=$(thumb_percent "$bar_column" 385 720)
[ "$start" -le 1 ] || fail "the report does not start at its top (thumb at $start %)"
# (the track between the arrows: rows 385 to 719 of the screen)
# A click into the report, then Page Down: page 30 of 44 begins 29/44 = 66 % down the report.
xdotool mousemove --window "$window" 1300 420 click 1
sleep 0.5
presses=62
xdotool key --delay 30 --repeat $presses Next
paged() { xwd -root -silent >"$work/screen.xwd" && at=$(thumb_percent "$bar_column" 385 720) && [ "$at" -ge 60 ]; }
wait_for 20 paged || fail "$presses times Page Down moved the report to ${at:-?} % only"
[ "$at" -le 72 ] || fail "$presses times Page Down moved the report past its thirtieth page (to $at %)"
python3 "$xwd_region" "$work/screen.xwd" "$pictures/screen_textkeys_page30.png" 1170,350,1790,780 >/dev/null
xdotool key ctrl+Home
top() { xwd -root -silent >"$work/screen.xwd" && at=$(thumb_percent "$bar_column" 385 720) && [ "$at" -le 1 ]; }
wait_for 20 top || fail "Ctrl+Home left the report at $at %"
xdotool mousemove --window "$window" 970 457 click 1
wait_for 20 sh -c "! kill -0 $app 2>/dev/null" || fail "kolumo did not end after Cancel"
wait "$app"
app=""

# The document editor: three lines typed into the empty text at the top of its window.
document_editor_registry
KOLUMO_ROOT="$work/root" "$kolumo" edit "$work/Stuetze.tqx" >"$work/out" 2>"$work/err" &
app=$!
wait_for 20 find_window || fail "no window within 20 s (with the document editor)"
window_geometry "$window"
wx=$x wy=$y
xdotool mousemove --window "$window" 57 42 click 1
sleep 1
xdotool mousemove --window "$window" 300 200 click 1
sleep 0.5
xdotool type --delay 20 "Erste Zeile der Notiz"
xdotool key Return
xdotool type --delay 20 "kurz"
xdotool key Return
xdotool type --delay 20 "Dritte Zeile der Notiz"
# The lines' middles in the window, 17 pixels apart, the text starting 30 pixels in.
line1=125 line3=159
xdotool mousemove --window "$window" 80 $line1 click 1
sleep 0.3
xdotool key Down Down
xdotool type --delay 20 "X"
sleep 0.5
xdotool mousemove --window "$window" 31 $line1 mousedown 1 sleep 0.2 mousemove --window "$window" 100 140 sleep 0.2 \
  mousemove --window "$window" 31 $line3 sleep 0.2 mouseup 1
# The selection's colour (173, 214, 255) on the rows of the first two lines, none on the third's.
selected_rows() {
  xwd -root -silent >"$work/screen.xwd" &&
    read -r first last rows < <(python3 - "$work/screen.xwd" $((wx + 20)) $((wy + 110)) $((wx + 700)) $((wy + 175)) <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
h = struct.unpack('>25I', data[:100])
size, order, bpl, ncolors = h[0], h[7], h[12], h[19]
base, end = size + ncolors * 12, '<' if order == 0 else '>'
x0, y0, x1, y1 = map(int, sys.argv[2:6])
rows = [y - y0 for y in range(y0, y1)
        if any((p & 0xFFFFFF) == 0xADD6FF for p in struct.unpack_from(end + '%dI' % (x1 - x0), data, base + y * bpl + x0 * 4))]
print(rows[0] if rows else -1, rows[-1] if rows else -1, len(rows))
PY
) && [ "$rows" -ge 25 ]
}
wait_for 20 selected_rows || fail "a drag over two lines selected ${rows:-no} rows"
# rows from the first line's top (about 8 above its middle) to the second's foot (8 below 142), none of the third's
[ "$first" -le $((line1 - 110 - 4)) ] && [ "$last" -le $((line3 - 110 - 8)) ] ||
  fail "the selection covers the rows $first to $last of the editor's text, not those of its first two lines"
python3 "$xwd_region" "$work/screen.xwd" "$pictures/screen_textkeys_editor.png" \
  "$wx,$wy,$((wx + 880)),$((wy + 300))" >/dev/null
# OK saves the text: the X stands in its third line.
saved_by_ok 877 457
grep -q "Erste Zeile der Notiz" <<<"$saved" || fail "the first line changed: $saved"
# the paragraphs' text without control words: the third is "Dritte Zeile der Notiz" with an X in it
third=$(python3 -c 'import re, sys
text = re.sub(r"\\[a-z]+-?[0-9]* ?|[{}]", "", re.sub(r"\\par\b", "\n", sys.stdin.read()))
print([l.strip() for l in text.split("\n") if "Notiz" in l or "kurz" in l][2])' <<<"$saved")
[ "${third//X/}" = "Dritte Zeile der Notiz" ] && [ "$third" != "Dritte Zeile der Notiz" ] ||
  fail "the third line is \"$third\", not the third typed line with an X: $saved"
echo "passed"
