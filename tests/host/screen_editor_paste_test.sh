#!/usr/bin/env bash
# Lines of another program pasted into an open cell editor of "kolumo edit", on a virtual X server driven by real X
# events: they are the grid's paste from that cell, not the editor's first line. "Neu" typed into load 7's text and
# Ctrl+V of four lines asks the paste's one question (three new loads, its lines on the screen); after "Nein" the
# server's pixels of the load grid are those from before the keys, the editor open with "Neu" in it. "Neu" typed
# into load 2's text and Ctrl+V of two lines write loads 2 and 3 without a question, the editor closed (the program
# drew what the server shows); OK saves the seven loads with those two texts. Exit 77 (skipped) without Xvfb, xdotool,
# xclip, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
need_xwd
command -v xclip >/dev/null || { echo "xclip missing: skipped"; exit 77; }
edit_example 1920x1080 "$@"
other_program=""
# offer TEXT: another program holds TEXT on the clipboard (xclip serves it until it is stopped).
offer() {
  [ -n "$other_program" ] && kill "$other_program" 2>/dev/null
  printf '%s' "$1" | timeout 60 xclip -selection clipboard -loops 20 2>/dev/null &
  other_program=$!
  sleep 0.5
}

# Rows are 21 pixels apart: load 2 at 120, load 7 at 225; the text column at 92.
click 372 42  # "Belastung"
sleep 0.5
click 92 225  # load 7's text
sleep 0.5
xdotool type --window "$main" --delay 20 Neu
sleep 0.3
read -r before _ < <(window_region before-paste 25 60 720 270)
offer $'Wand\nDecke\nDach\nSchnee\n'
xdotool key --window "$main" ctrl+v
wait_for 20 find_box || fail "four lines pasted into an open editor asked nothing (see the grid: $(window_region no-question 25 60 720 270))"
sleep 0.3
bands=$(box_lines paste-question)
[ "$bands" -ge 2 ] || fail "the question has $bands lines: it does not say the loads it adds (see paste-question.png)"
answer_box_with n || fail "the question stayed after N"
sleep 0.5
read -r after _ < <(window_region after-no 25 60 720 270)
[ "$after" = "$before" ] || fail "after Nein the grid and its open editor are not as before (see before-paste.png, after-no.png)"
agree after-no
xdotool key --window "$main" Escape
sleep 0.3

click 92 120  # load 2's text
sleep 0.5
xdotool type --window "$main" --delay 20 Neu
offer $'Wand\nDecke\n'
xdotool key --window "$main" ctrl+v
sleep 0.6
find_box && fail "two lines that fit the grid asked: $(xdotool getwindowname "$box")"
read -r pasted _ < <(window_region pasted 25 60 720 270)
[ "$pasted" != "$before" ] || fail "the paste changed nothing on the screen (see pasted.png)"
agree pasted
kill "$other_program" 2>/dev/null
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"

click 877 457  # OK: the position is saved
ended_with_success
python3 - "$work/Stuetze.tqx" <<'PY' || fail "the saved loads are not those pasted"
import re, sys
texts = re.findall(r'<load [^>]*desc="([^"]*)"', open(sys.argv[1], encoding='utf-8').read())
want = ['Eigengewicht Stütze', 'Wand', 'Decke']
if len(texts) != 7 or texts[:3] != want or texts[6] != 'Wind auf Fassade':
    print('loads %s' % texts)
    sys.exit(1)
PY
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
