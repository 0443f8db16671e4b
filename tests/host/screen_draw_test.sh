#!/usr/bin/env bash
# What "kolumo edit" shows on a virtual X server is what it draws: after each step of a session driven by real X
# events (a radio button, the cross-section dialog opened and closed with OK, a grid's combo list and the stage list
# dropped, page changes) the server's pixels of the program's windows equal the program's own picture of them,
# painted whole apart from what the screen shows. The screen is $4 (WIDTHxHEIGHT) large: the window lies wholly on
# it. Exit 77 (skipped) without Xvfb or xdotool.
set -u
size=${4:-1920x1080}
source "$(dirname "$0")/../support/xvfb.sh"
edit_example "$size" "$@"
window_on_screen "$main" "$size"

# Points in the main window's coordinates at the dialog font (the pictures show the layout).

click 143 42   # "Steuerwerte"
agree tab-control-values
click 174 230  # "Fertigteil"
agree radio-precast
click 49 230   # "Ortbeton" again
agree radio-cast

click 212 42   # "System"
agree tab-system
click 389 141  # "Querschnitt" of the first field
find_dialog() { dialog=$(xdotool search --name '^TQ-KOLUMO Querschnittsdefinition$' 2>/dev/null | head -n1) && [ -n "$dialog" ]; }
wait_for 10 find_dialog || fail "no cross-section dialog"
agree cross-section-open
xdotool mousemove --window "$dialog" 523 313 click 1 || fail "xdotool cannot click"  # its OK
wait_for 10 sh -c "! xdotool search --name '^TQ-KOLUMO Querschnittsdefinition\$' >/dev/null 2>&1" ||
  fail "the cross-section dialog stays open after OK"
agree cross-section-ok

click 991 97   # the arrow of the concrete grade's combo cell
agree grid-combo-open
xdotool key --window "$main" Escape
agree grid-combo-closed

click 808 39   # the stage list's arrow
agree stage-list-open
xdotool key --window "$main" Escape
agree stage-list-closed

click 372 42   # "Belastung"
agree tab-loads
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"

# Nothing entered: "Abbrechen" would end at once (the other screen tests see that). Text typed into the annotation
# is input: Escape asks in a message box before discarding it; Enter answers its default (No), which keeps the
# window open.
xdotool mousemove --window "$main" 300 457 click 1 type --window "$main" "neu"
xdotool key --window "$main" Escape
wait_for 10 find_box || fail "Escape discarded typed input without a question"
answer_box_with Return || fail "the question stayed after Enter"
sleep 0.3
kill -0 "$app" 2>/dev/null || fail "kolumo ended though the discarding was refused"
agree discard-refused
kill "$app"
wait "$app" 2>/dev/null
app=""
cmp -s "$data/examples/Stuetze.tqx" "$work/Stuetze.tqx" || fail "the position file changed"
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
