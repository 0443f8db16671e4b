#!/usr/bin/env bash
# The rich-text controls and other programs on a virtual X server with a German keyboard (and a Greek and a Russian
# group), driven by real X events: the report copied with Ctrl+Insert from the output tab reaches another program
# (xclip) as UTF-8 and as RTF; in the document editor a line typed with AltGr+E (the euro sign), German quotes, a
# dash, Greek letters, dead keys and Cyrillic letters (which neither the code page nor the Symbol font holds) is
# copied with Ctrl+Insert and read by the other program as that UTF-8 text; a line the other program copied (Polish,
# Hungarian and Chinese letters among it) is pasted with Shift+Insert and copied out again unchanged; the first line
# cut with Shift+Delete reaches the other program and leaves the text. The server's pixels (xwd) equal the program's own
# picture after each step, and OK saves the pasted line with its Greek letters in the Symbol font and the others as
# Unicode escapes. Exit 77 (skipped) without Xvfb, xdotool, xwd, xclip, setxkbmap or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
for tool in python3 xwd xclip setxkbmap; do command -v $tool >/dev/null || { echo "$tool missing: skipped"; exit 77; }; done
example_screen --document-editor 1920x1080 "$@"
# Every character typed lies on a key of the layout (Greek in its second group, Cyrillic in its third): xdotool does
# not bind keys of its own, which it takes back before a slow program has read them.
setxkbmap -layout de,gr,ru || fail "no German, Greek and Russian keyboard layout on the virtual X server"
edit_prepared_example
# the clipboard as another program reads it, once it holds $1
clipboard() { [ "$(timeout 5 xclip -selection clipboard -o 2>/dev/null)" = "$1" ]; }

# The report in the preview's "Vorschau Ausgabe" (after the results tab calculated), copied whole with Ctrl+Insert:
# valid UTF-8 with its umlauts.
window=$main
xdotool mousemove --window "$main" 444 41 click 1 || fail "xdotool cannot click"
wait_for 90 diagram || fail "no result diagram in the preview after the results tab"
xdotool mousemove --window "$main" 1141 46 click 1
report() { [ "$(python3 "$xwd_region" <(xwd -root -silent) /dev/null 1180,360,1780,760 | cut -d' ' -f1)" -gt 3000 ]; }
wait_for 60 report || fail "no report in the output tab"
xdotool mousemove --window "$main" 1300 420 click 1
xdotool key ctrl+a ctrl+Insert
reported() { timeout 5 xclip -selection clipboard -o 2>/dev/null | grep -q "Stabschnittkräfte"; }
wait_for 10 reported || fail "the report copied from the output tab holds no Stabschnittkräfte: $(timeout 5 xclip \
  -selection clipboard -o | grep -a -m1 Stabschnittkr | od -c | head -n3)"
timeout 5 xclip -selection clipboard -o | python3 -c 'import sys; sys.stdin.buffer.read().decode("utf-8")' ||
  fail "the report copied from the output tab is no UTF-8"
# beside it the report's RTF, as a word processor takes it
timeout 5 xclip -selection clipboard -o -t TARGETS | grep -qx text/rtf || fail "the output tab's copy offers no RTF"
rtf=$(timeout 5 xclip -selection clipboard -o -t text/rtf)
[[ $rtf == '{\rtf1'* && $rtf == *"Stabschnittkr\\'e4fte"* ]] ||
  fail "the RTF copied from the output tab holds no Stabschnittkräfte: ${rtf:0:300}"

xdotool mousemove --window "$main" 57 42 click 1
sleep 1
xdotool mousemove --window "$main" 300 200 click 1
sleep 0.5
typed="Decke € „Stütze“ – αβγ x^2 Café Жук"
xdotool type --delay 30 "Decke "
xdotool key ISO_Level3_Shift+e # AltGr+E
xdotool type --delay 30 " „Stütze“ – αβγ x"
xdotool key dead_circumflex space # the dead key alone
xdotool type --delay 30 "2 Caf"
xdotool key dead_acute e
xdotool type --delay 30 " Жук"
xdotool key ctrl+a ctrl+Insert
wait_for 10 clipboard "$typed" ||
  fail "another program reads '$(timeout 5 xclip -selection clipboard -o | od -c | head -n4)', not '$typed'"
editor_picture typed

pasted="Decke über EG, Süd – αβγ € łódź Grőße 中"
printf %s "$pasted" | timeout 60 xclip -selection clipboard -i
xdotool key ctrl+End Return shift+Insert
xdotool key ctrl+a ctrl+c
wait_for 10 clipboard "$typed"$'\r\n'"$pasted" ||
  fail "the text copied after the paste is '$(timeout 5 xclip -selection clipboard -o)', not the typed and the pasted line"
editor_picture pasted

xdotool key ctrl+Home shift+End shift+Delete
wait_for 10 clipboard "$typed" || fail "Shift+Delete gave the other program '$(timeout 5 xclip -selection clipboard -o)'"
editor_picture cut
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"

xdotool mousemove --window "$main" 877 457 click 1 # OK
ended_with_success
# The saved text read as a word processor reads it: Windows-1252 bytes, the Symbol font's letters as Greek, Unicode
# escapes (each with one fallback character) as their characters.
saved_document_rtf "$work/Stuetze.tqx" "$work/saved.rtf"
lines=$(python3 "$(dirname "$0")/../support/rtf_text.py" "$work/saved.rtf" | grep -v '^ *$') &&
  [ "$lines" = "$pasted" ] || fail "the saved text does not hold the pasted line alone: $(cat "$work/saved.rtf")"
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
