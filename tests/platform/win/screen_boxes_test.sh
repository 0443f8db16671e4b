#!/usr/bin/env bash
# Message boxes of each type and icon and the open and save file dialogs on a virtual X server, answered by real key
# presses: Enter on the default button, Escape (Cancel, else No), a button's letter, Tab to the next button, F1 (a
# help request that reaches the owner and leaves the box open), a typed name, the overwrite question. Each window as
# the X server shows it is held against the program's own picture of it; the server's pixels are kept as xwd
# shots of the root window in $KOLUMO_PICTURES when that is set. Exit 77 (skipped) without Xvfb or xdotool.
set -u
probe=$1
compare=$2
source "$(dirname "$0")/../../support/xvfb.sh"

start_xvfb 1280x1024 || fail "no virtual X server would serve: $(cat "$work/xvfb.log")"
mkdir -p "$work/daten/Vorlagen"
echo x >"$work/daten/Stuetze.tqx"
echo x >"$work/daten/notiz.txt"
"$probe" "$work/daten" "$work/picture.png" >"$work/out" 2>"$work/err" &
app=$!

# shot NAME: the server's pixels held against the program's picture of its windows; the root window kept as xwd.
shot() {
  sleep 0.3 # the window's pixels follow its mapping
  agree "$1"
  if [ -n "${KOLUMO_PICTURES:-}" ]; then
    cp "$work/pictures/$1.png" "$work/pictures/$1-screen.png" "$KOLUMO_PICTURES/"
    command -v xwd >/dev/null && { xwd -root -silent -out "$KOLUMO_PICTURES/$1.xwd" || fail "xwd cannot take $1"; }
  fi
  return 0
}
# find_window PATTERN: the newest X window whose title matches, in $window
find_window() { window=$(xdotool search --name "$1" 2>/dev/null | tail -n1) && [ -n "$window" ]; }
answered() { grep -qx "$1" "$work/out"; }

# answer_box N KEYS ANSWER: box "Meldung N" answered by the keys, the probe printing the answer's id
answer_box() {
  wait_for 20 find_window "^Meldung $1\$" || fail "no box \"Meldung $1\""
  shot "box$1"
  # the release of a key that closes the window finds no window: xdotool's complaint about it is no failure
  for key in $2; do xdotool key --window "$window" "$key" 2>/dev/null; done
  wait_for 10 answered "box $1 -> $3" || fail "box $1: expected $3, the probe says: $(cat "$work/out")"
}

# F1 in the first box: the request goes from its focused button (OK) up to the box's owner; the box stays.
wait_for 20 find_window "^Meldung 1\$" || fail "no box \"Meldung 1\""
# A box has no sizing border: its size hints fix its size, and sized all the same it takes its own size back.
if command -v xprop >/dev/null; then
  xprop -id "$window" WM_NORMAL_HINTS | grep -q "program specified maximum size" ||
    fail "the box's hints leave its size free: $(xprop -id "$window" WM_NORMAL_HINTS)"
fi
window_geometry "$window"
box_w=$w box_h=$h
xdotool windowsize "$window" $((box_w + 200)) $((box_h + 100))
sleep 0.3
kept() { window_geometry "$window"; [ "$w" -eq "$box_w" ] && [ "$h" -eq "$box_h" ]; }
wait_for 10 kept || fail "the box took the size ${w}x${h} (its own is ${box_w}x${box_h})"
xdotool key --window "$window" F1 2>/dev/null
wait_for 10 answered "help -> 1" || fail "F1 in the box did not reach its owner: $(cat "$work/out")"
answered "box 1 -> 1" && fail "F1 answered the box"
answer_box 1 Return 1       # OK, information
answer_box 2 Escape 2       # OK/Cancel, question: Escape is Cancel
answer_box 3 "Tab Return" 7 # Yes/No, question: Tab moves to No
answer_box 4 Return 7       # Yes/No/Cancel, warning, the second button the default: No
answer_box 5 Return 4       # Retry/Cancel, error: Retry
answer_box 6 Escape 7       # Yes/No, warning: without Cancel, Escape is No
answer_box 7 j 6            # Yes/No/Cancel, question: J is "Ja"
answer_box 8 n 7            # Yes/No, question: N is "Nein"
answer_box 9 Escape 2       # Retry/Cancel, warning: Escape is Cancel
answer_box 10 Escape 1      # OK, error, a long text wrapped: Escape closes it

wait_for 20 find_window "ffnen\$" || fail "no open dialog" # "Öffnen": xdotool's anchored patterns miss its "Ö"
shot open
xdotool type --window "$window" --delay 15 "Stuetze" 2>>"$work/xdotool.err" || fail "xdotool cannot type"
xdotool key --window "$window" Return 2>/dev/null
wait_for 10 answered "open -> $work/daten/Stuetze.tqx" || fail "open: $(cat "$work/out")"

wait_for 20 find_window "^Speichern unter\$" || fail "no save dialog"
dialog=$window
xdotool type --window "$dialog" --delay 15 "Stuetze" 2>>"$work/xdotool.err" || fail "xdotool cannot type"
shot save
xdotool key --window "$dialog" Return 2>/dev/null
# the question has the dialog's title: the second window of that title
asked() { [ "$(xdotool search --name '^Speichern unter$' 2>/dev/null | wc -l)" -ge 2 ]; }
wait_for 10 asked || fail "no question before replacing Stuetze.tqx"
shot question
xdotool key --window "$dialog" Escape 2>/dev/null # No: the dialog stays, the name field selected
wait_for 10 sh -c "[ \$(xdotool search --name '^Speichern unter\$' 2>/dev/null | wc -l) -eq 1 ]" ||
  fail "the question did not go"
shot save-refused
xdotool type --window "$dialog" --delay 15 "Neu" 2>>"$work/xdotool.err" || fail "xdotool cannot type"
xdotool key --window "$dialog" Return 2>/dev/null
wait_for 10 answered "save -> $work/daten/Neu.tqx" || fail "save: $(cat "$work/out")"

wait_for 20 sh -c "! kill -0 $app 2>/dev/null" || fail "the probe did not end"
wait "$app"
status=$?
app=""
[ $status -eq 0 ] || fail "the probe ended with $status"
# a person answered everything: nothing echoed
grep -q '^\[' "$work/err" && fail "answers on the screen were echoed: $(cat "$work/err")"
echo "passed: $(ls "$work/pictures" | grep -vc -- -screen) windows held against the screen"
