#!/usr/bin/env bash
# The document editor and another program (xclip) on a virtual X server, formats crossing the clipboard as RTF: a
# line typed with a bold word (Ctrl+F) and copied is offered as text/rtf and application/rtf beside UTF-8 (TARGETS
# names them), and the RTF holds the word under \b. A line the other program offers only as UTF-8 is pasted plain,
# the same line offered only as text/rtf with \b is pasted bold: the server's pixels (xwd) show the bold line wider
# and darker than the plain one, and OK saves it under \b beside the plain one. RTF beyond the 1 MB a paste takes is
# refused and leaves the text as it was. Exit 77 (skipped) without Xvfb, xdotool, xwd, xclip or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
for tool in python3 xwd xclip; do command -v $tool >/dev/null || { echo "$tool missing: skipped"; exit 77; }; done
edit_example --document-editor 1920x1080 "$@"
# the clipboard as another program reads it, once it holds the lines $1 (line ends as "\n")
clipboard() { [ "$(timeout 5 xclip -selection clipboard -o 2>/dev/null | tr -d '\r')" = "$1" ]; }

xdotool mousemove --window "$main" 57 42 click 1 || fail "xdotool cannot click"
sleep 1
xdotool mousemove --window "$main" 300 200 click 1
sleep 0.5
xdotool type --delay 30 "Ein "
xdotool key ctrl+f
xdotool type --delay 30 "fettes"
xdotool key ctrl+f
xdotool type --delay 30 " Wort"
xdotool key ctrl+a ctrl+c
wait_for 10 clipboard "Ein fettes Wort" ||
  fail "another program reads '$(timeout 5 xclip -selection clipboard -o)', not the typed line"
targets=$(timeout 5 xclip -selection clipboard -o -t TARGETS)
for target in TARGETS text/rtf application/rtf UTF8_STRING; do
  grep -qx "$target" <<<"$targets" || fail "TARGETS does not name $target: $(tr '\n' ' ' <<<"$targets")"
done
# the RTF read by its groups and \b states, bold runs between asterisks, paragraphs as "|"
rtf_runs() { python3 "$(dirname "$0")/../support/rtf_text.py" --bold | tr '\n' '|'; }
for target in text/rtf application/rtf; do
  runs=$(timeout 5 xclip -selection clipboard -o -t $target | rtf_runs)
  [ "$runs" = "Ein *fettes* Wort|" ] || fail "the copied $target reads '$runs', not the bold word between plain ones"
done
editor_picture typed

# A plain paste (UTF-8 alone) and the same line as RTF with \b (text/rtf alone), in the editor's face and size.
printf %s "Zeile mit Pfeilern" | timeout 60 xclip -selection clipboard -i
xdotool key ctrl+End Return shift+Insert
# the plain paste taken before the other program offers the next line (a slow program would take that twice)
xdotool key ctrl+a ctrl+c
wait_for 20 clipboard $'Ein fettes Wort\nZeile mit Pfeilern' ||
  fail "after the plain paste the text reads '$(timeout 5 xclip -selection clipboard -o)'"
xdotool key ctrl+End
printf '%s' '{\rtf1\ansi{\fonttbl{\f0\fswiss Arial;}}\f0\fs20\b Zeile mit Pfeilern\b0\par}' |
  timeout 60 xclip -selection clipboard -i -t text/rtf
xdotool key Return shift+Insert
xdotool key ctrl+a ctrl+c
wait_for 10 clipboard $'Ein fettes Wort\nZeile mit Pfeilern\nZeile mit Pfeilern' ||
  fail "after the pastes the text reads '$(timeout 5 xclip -selection clipboard -o | od -c | head -n5)'"
xdotool key ctrl+Home
sleep 0.5
editor_picture pasted
# The lines of the text as the server shows them: each band of rows with dark pixels, its dark pixels and width.
window_geometry "$main"
bands=$(python3 "$xwd_region" <(xwd -root -silent) "$work/pictures/lines.png" "$((x + 28)),$((y + 116)),$((x + 860)),$((y + 290))" >/dev/null &&
  python3 - "$work/pictures/lines.png" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
w, h = struct.unpack('>II', data[16:24])
raw, i = b'', 8
while i < len(data):
    n, = struct.unpack('>I', data[i:i + 4])
    if data[i + 4:i + 8] == b'IDAT': raw += data[i + 8:i + 8 + n]
    i += 12 + n
raw = zlib.decompress(raw)
rows = [raw[r * (3 * w + 1) + 1:(r + 1) * (3 * w + 1)] for r in range(h)]
dark = [[x for x in range(w) if max(row[3 * x:3 * x + 3]) < 96] for row in rows]
bands, start = [], None
for y in range(h + 1):
    if y < h and dark[y]:
        start = y if start is None else start
    elif start is not None:
        xs = [x for r in range(start, y) for x in dark[r]]
        bands.append((len(xs), max(xs) - min(xs) + 1))
        start = None
print(' '.join('%d,%d' % b for b in bands))
PY
) || fail "cannot read the lines of the editor's text"
read -r -a lines <<<"$bands"
[ ${#lines[@]} -eq 3 ] || fail "the editor shows ${#lines[@]} lines, not the typed, the plain and the bold one: $bands"
plain=${lines[1]} bold=${lines[2]}
# Bold strokes are thicker and its letters wider: clearly more dark pixels, and a wider line.
[ $((${bold%,*} * 100)) -gt $((${plain%,*} * 125)) ] ||
  fail "the pasted RTF line is not drawn bold: $bold dark pixels,width against the plain paste's $plain"
[ "${bold#*,}" -gt "${plain#*,}" ] || fail "the bold line is not wider than the plain one: $bold against $plain"
echo "lines (dark pixels,width): $bands"

# RTF beyond what a paste takes, offered alone: refused, the text stays.
python3 -c 'import sys; sys.stdout.write("{\\rtf1 " + "Zu viel " * 150000 + "}")' >"$work/large.rtf"
timeout 60 xclip -selection clipboard -i -t text/rtf "$work/large.rtf"
xdotool key ctrl+End shift+Insert
sleep 2
kill -0 "$app" 2>/dev/null || fail "kolumo ended on a paste of $(stat -c %s "$work/large.rtf") bytes of RTF"
xdotool key ctrl+a ctrl+c
wait_for 10 clipboard $'Ein fettes Wort\nZeile mit Pfeilern\nZeile mit Pfeilern' ||
  fail "the large RTF changed the text to '$(timeout 5 xclip -selection clipboard -o | head -c 200)'"
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"

xdotool mousemove --window "$main" 877 457 click 1 # OK
ended_with_success
saved_document_rtf "$work/Stuetze.tqx" "$work/saved.rtf"
saved=$(rtf_runs <"$work/saved.rtf")
[ "$saved" = "Ein *fettes* Wort|Zeile mit Pfeilern|*Zeile mit Pfeilern*||" ] ||
  fail "the saved text reads '$saved', not the typed line, the plain paste and the bold one"
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
