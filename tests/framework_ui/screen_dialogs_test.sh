#!/usr/bin/env bash
# The actions dialog, the combinations dialog and the variables page on a virtual X server: each window appears
# under its caption, its picture is written, and Escape sent through X closes it with "Abbrechen" (reply 2).
# Exit 77 (skipped) without Xvfb or xdotool.
set -u
show=$1
source "$(dirname "$0")/../support/xvfb.sh"

start_xvfb 1280x800 || fail "no virtual X server would serve: $(cat "$work/xvfb.log")"
# Settings of their own, so that nothing another run keeps there (a language, say) changes a caption.
export ORMI_REGISTRY="$work/registry.xml"

for entry in "lkdlg:Einwirkungen definieren" "kollektiv:erzeugte Lastkollektive" "vardef:Vortexttabelle"; do
  which=${entry%%:*}
  caption=${entry#*:}
  KOLUMO_SCREEN_PICTURE="$work/$which.png" "$show" "$which" >"$work/$which.out" 2>"$work/$which.err" &
  app=$!
  find_window() { window=$(xdotool search --name "^$caption\$" 2>/dev/null | head -n1) && [ -n "$window" ]; }
  wait_for 20 find_window || fail "$which: no window \"$caption\" within 20 s"
  kill -USR1 "$app"
  wait_for 10 test -s "$work/$which.png" || fail "$which: no picture"
  xdotool key --window "$window" Escape 2>/dev/null
  wait_for 10 eval '! kill -0 "$app" 2>/dev/null' || fail "$which: still open after Escape"
  wait "$app" || fail "$which: exit $? ($(cat "$work/$which.err"))"
  app=""
  [ "$(cat "$work/$which.out")" = "2" ] || fail "$which: reply $(cat "$work/$which.out"), expected 2"
  [ -n "${KOLUMO_PICTURES:-}" ] && cp "$work/$which.png" "$KOLUMO_PICTURES/screen-$which.png"
done
echo "all three dialogs shown and closed"
