#!/usr/bin/env bash
# "kolumo edit" on a virtual X server, driven by real X events: on the results tab "Ausgabe erzeugen" writes the
# report (the same as "kolumo report" writes) and hands it to the desktop's viewer (a stand-in xdg-open that
# records its call); the preview's "Vorschau Ausgabe" tab then shows the report as text, pictured from the X server
# with xwd: its text, the system picture with its red loads, and scroll bars that move it; its "bearbeiten" opens the
# report again and "drucken" prints it (into a PDF without a printer, whose first page shows the page header and the
# picture). Then, with no viewer to be found, "Ausgabe erzeugen" writes the report and tells so in a message. Exit 77
# (skipped) without Xvfb, xdotool or xwd.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
example_screen --xwd 1920x1080 "$@"
xwd_track="$(dirname "$0")/../support/xwd_track.py"
# The desktop's viewer: a stand-in that records what it was asked to open.
mkdir -p "$work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s/viewer-calls"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
# The results tab calculates; "Ausgabe erzeugen" beside the result text, in the window's own coordinates.
edit_calculated PATH="$work/bin:$PATH"
[ ! -e "$work/Stuetze.rtf" ] || fail "a report before Ausgabe erzeugen"
xdotool mousemove --window "$window" 712 206 click 1
wait_for 90 test -s "$work/viewer-calls" || fail "no viewer call after Ausgabe erzeugen"
[ -s "$work/Stuetze.rtf" ] || fail "Ausgabe erzeugen wrote no report"
[ "$(head -n1 "$work/viewer-calls")" = "$work/Stuetze.rtf" ] || fail "the viewer got $(cat "$work/viewer-calls")"
# The page is drawn again afterwards: its combination tree shows its items.
tree() {
  read -r dark red _ < <(python3 "$xwd_region" <(xwd -root -silent) "./screen_output_results.png" 150,360,360,530) &&
    [ "$dark" -gt 300 ]
}
wait_for 30 tree || fail "the results page is not drawn after Ausgabe erzeugen ($dark dark pixels in its tree)"
mkdir -p "$work/host"
cp "$data/examples/Stuetze.tqx" "$work/host/Stuetze.tqx"
for command in calc report; do
  KOLUMO_ROOT="$work/root" "$kolumo" $command "$work/host/Stuetze.tqx" >/dev/null 2>"$work/host.err" ||
    fail "kolumo $command: $(cat "$work/host.err")"
done
cmp -s "$work/host/Stuetze.rtf" "$work/Stuetze.rtf" || fail "the dialog's report differs from kolumo report's"

diagram || fail "no result diagram in the preview before the output tab"
# "Vorschau Ausgabe": the report in the preview's rich-text box, its first page as text.
xdotool mousemove --window "$window" 1141 46 click 1
# The system picture stands on it with its loads in red, at its size: 3402 x 5669 twips, 227 x 378 pixels, whose
# load arrows and their values take more than 1000 pixels.
shot() {
  xwd -root -silent >"$work/screen.xwd" || return 1
  # the preview's box, right of the input dialog
  read -r dark red loads left top < <(python3 "$xwd_region" "$work/screen.xwd" "./screen_output_tab.png" \
    1180,360,1780,760) && [ "$dark" -gt 3000 ] && [ "$red" -eq 0 ] && [ "$loads" -gt 1000 ]
}
wait_for 60 shot || fail "no report in the output tab ($dark dark pixels, $red of the diagram, $loads of loads)"
python3 "$xwd_region" "$work/screen.xwd" "./screen_output_window.png" 100,280,1800,800 >/dev/null
# The box's horizontal bar below it: a click on its track right of the thumb shows the report further right (the
# loads move left); the vertical bar at its right side pages down (the loads move up).
bar_row=$(python3 "$xwd_track" "$work/screen.xwd" column 1700 700 780)
[ "$bar_row" -ge 700 ] || fail "no horizontal scroll bar below the output box"
bar_x=$(python3 "$xwd_track" "$work/screen.xwd" row "$bar_row" 1180 1780)
first_left=$left first_top=$top
# True once the loads' leftmost column (left) or topmost row (top) lies before $2.
loads_moved() {
  xwd -root -silent >"$work/screen.xwd" &&
    read -r dark red loads left top < <(python3 "$xwd_region" "$work/screen.xwd" /dev/null 1180,360,1780,760) &&
    [ "${!1}" -ge 0 ] && [ "${!1}" -lt "$2" ]
}
xdotool mousemove "$bar_x" "$bar_row" click 1
wait_for 20 loads_moved left "$first_left" ||
  fail "the horizontal scroll bar did not move the report (loads from column $first_left to $left)"
python3 "$xwd_region" "$work/screen.xwd" "./screen_output_right.png" 1180,360,1780,760 >/dev/null
bar_column=$(python3 "$xwd_track" "$work/screen.xwd" row 600 1700 1780)
bar_y=$(python3 "$xwd_track" "$work/screen.xwd" column "$bar_column" 360 "$bar_row")
xdotool mousemove "$bar_column" "$bar_y" click 1
wait_for 20 loads_moved top "$first_top" ||
  fail "the vertical scroll bar did not move the report (loads from row $first_top to $top)"

# "bearbeiten" (top right of the preview) opens the report once more.
xdotool mousemove --window "$window" 1440 40 sleep 0.3 mousemove --window "$window" 1445 39 sleep 0.3 click 1
viewer_calls() { [ "$(wc -l <"$work/viewer-calls")" -ge "$1" ]; }
wait_for 30 viewer_calls 2 || fail "bearbeiten did not open the report"
[ "$(sed -n 2p "$work/viewer-calls")" = "$work/Stuetze.rtf" ] || fail "bearbeiten opened $(sed -n 2p "$work/viewer-calls")"

# "drucken" beside it: without a printer the report is printed into a PDF beside it, which a box names; the PDF's
# text holds the report's headings, its first page the page header of the report and the system picture with its
# loads, and its pages the Greek letters of the report. (Where a printer is set up the report goes to it instead:
# not checked.)
if ! command -v lp >/dev/null && command -v pdftotext >/dev/null && command -v pdftoppm >/dev/null; then
  xdotool mousemove --window "$window" 1555 40 sleep 0.3 mousemove --window "$window" 1560 39 sleep 0.3 click 1
  wait_for 90 find_box || fail "drucken showed no message"
  answer_box_with Return || fail "the message stayed after Enter"
  [ -s "$work/Stuetze.pdf" ] || fail "drucken wrote no PDF beside the report"
  pdftotext "$work/Stuetze.pdf" "$work/Stuetze.txt" || fail "the printed PDF cannot be read"
  for heading in "Eingabedaten Ortbetonstütze" Geometriebeschreibung Lagerbeschreibung; do
    grep -q "$heading" "$work/Stuetze.txt" || fail "the printed PDF lacks \"$heading\""
  done
  pages=$(grep -c $'\f' "$work/Stuetze.txt")
  first=$(pdftotext -f 1 -l 1 "$work/Stuetze.pdf" -)
  grep -q "Seite 1 von $pages" <<<"$first" || fail "the first page has no header \"Seite 1 von $pages\": $first"
  grep -q "Position Stuetze" <<<"$first" || fail "the first page's header names no position"
  # psi of the inclination, nu of the utilisation, epsilon of the strains
  for greek in ψ ν ε; do grep -q "$greek" "$work/Stuetze.txt" || fail "the printed PDF lacks the letter $greek"; done
  pdftoppm -r 60 -f 1 -l 1 -png "$work/Stuetze.pdf" "$work/page"
  cp "$work"/page*.png ./screen_output_pdf_page1.png
  python3 - "$work"/page*.png <<'PY' || fail "the first printed page shows no loads of the system picture"
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
pos, idat = 8, b''
while pos < len(data):
    n, kind = struct.unpack('>I4s', data[pos:pos + 8])
    if kind == b'IHDR':
        w, h, depth, colour = struct.unpack('>IIBB', data[pos + 8:pos + 18])
    if kind == b'IDAT':
        idat += data[pos + 8:pos + 8 + n]
    pos += 12 + n
raw, bpp = zlib.decompress(idat), 3 if colour == 2 else 4
prev, loads, i = bytearray(w * bpp), 0, 0
for y in range(h):
    kind, line = raw[i], bytearray(raw[i + 1:i + 1 + w * bpp])
    i += 1 + w * bpp
    for x in range(w * bpp):
        a = line[x - bpp] if x >= bpp else 0
        b, c = prev[x], prev[x - bpp] if x >= bpp else 0
        if kind == 1: line[x] = (line[x] + a) & 255
        elif kind == 2: line[x] = (line[x] + b) & 255
        elif kind == 3: line[x] = (line[x] + (a + b) // 2) & 255
        elif kind == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    loads += sum(1 for x in range(w) if line[x * bpp] >= 150 and line[x * bpp] - max(line[x * bpp + 1], line[x * bpp + 2]) >= 90)
    prev = line
print(loads, 'pixels of the loads on the first printed page')
sys.exit(0 if loads > 200 else 1)
PY
fi

# "Abbrechen": a calculation follows from the input, which nobody changed, so the program ends without a question
# and the position file stays as it was.
xdotool mousemove --window "$window" 970 457 click 1
ended_or_asked() { ! kill -0 "$app" 2>/dev/null || find_box; }
wait_for 20 ended_or_asked || fail "kolumo neither ended nor asked after Cancel"
find_box && fail "Cancel after a calculation asked before discarding, though no input was changed"
wait "$app"
status=$?
app=""
[ $status -eq 0 ] || fail "kolumo edit ended with $status"
cmp -s "$data/examples/Stuetze.tqx" "$work/Stuetze.tqx" || fail "Cancel changed the position file"

# Without any viewer (no xdg-open on the search path, none beside the program) "Ausgabe erzeugen" still writes the
# report and says so in the program's own message, a box titled with its name, never the system's bare "Error".
mkdir -p "$work/empty"
rm -f "$work/Stuetze.rtf"
edit_calculated PATH="$work/empty"
xdotool mousemove --window "$window" 712 206 click 1
wait_for 90 find_box || fail "Ausgabe erzeugen without a viewer showed no message"
xdotool search --name '^Error$' >/dev/null 2>&1 && fail "a bare Error box instead of the program's message"
[ -s "$work/Stuetze.rtf" ] || fail "without a viewer no report was written"
window_geometry "$box"
# the message is long (the report's path, the missing programs): a box of several lines of text
read -r dark red _ < <(python3 "$xwd_region" <(xwd -root -silent) "./screen_output_noviewer.png" "$x,$y,$((x + w)),$((y + h))")
[ "$h" -gt 120 ] && [ "$dark" -gt 1500 ] || fail "the message box (${w}x${h}, $dark dark pixels) holds no message"
answer_box_with Return || fail "the message stayed after Enter"
[ -s "$work/Stuetze.rtf" ] || fail "the report went with the message"
xdotool mousemove --window "$window" 970 457 click 1
wait_for 20 sh -c "! kill -0 $app 2>/dev/null" || fail "kolumo did not end after Cancel (without a viewer)"
wait "$app"
status=$?
app=""
[ $status -eq 0 ] || fail "kolumo edit ended with $status (without a viewer)"
echo "passed"
