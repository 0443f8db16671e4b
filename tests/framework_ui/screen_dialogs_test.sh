#!/usr/bin/env bash
# The actions dialog, the combinations dialog and the variables page on a virtual X server: each window appears
# under its caption, its picture is written, and Escape sent through X closes it with "Abbrechen" (reply 2). Before,
# in the actions dialog and the variables page, the list of the empty last row's group or kind is opened by its
# arrow and Escape ends only that list: the dialog stays, and the server's pixels show the row empty (no action
# "ständig", no variable made). Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
show=$1
source "$(dirname "$0")/../support/xvfb.sh"
need_xwd
mkdir -p "$work/pictures"

start_xvfb 1280x800 || fail "no virtual X server would serve: $(cat "$work/xvfb.log")"
# Settings of their own, so that nothing another run keeps there (a language, say) changes a caption.
export ORMI_REGISTRY="$work/registry.xml"

# NAME:CAPTION[:ARROW X,Y:TEXT X0,Y0,X1,Y1]: the arrow of the empty last row's list and where its text stands.
for entry in "lkdlg:Einwirkungen definieren:355,105:192,98,345,113" "kollektiv:erzeugte Lastkollektive" \
  "vardef:Vortexttabelle:129,77:10,70,120,86"; do
  IFS=: read -r which caption arrow text <<<"$entry"
  KOLUMO_SCREEN_PICTURE="$work/$which.png" "$show" "$which" >"$work/$which.out" 2>"$work/$which.err" &
  app=$!
  find_window() { window=$(xdotool search --name "^$caption\$" 2>/dev/null | head -n1) && [ -n "$window" ]; }
  wait_for 20 find_window || fail "$which: no window \"$caption\" within 20 s"
  kill -USR1 "$app"
  wait_for 10 test -s "$work/$which.png" || fail "$which: no picture"
  if [ -n "$arrow" ]; then
    main=$window
    xdotool mousemove --window "$window" "${arrow%,*}" "${arrow#*,}" click 1
    sleep 0.5
    xdotool key --window "$window" Escape
    sleep 0.5
    kill -0 "$app" 2>/dev/null || fail "$which: Escape in the empty row's list closed the dialog"
    IFS=, read -r x0 y0 x1 y1 <<<"$text"
    read -r _ shown < <(window_region "$which-escaped" "$x0" "$y0" "$x1" "$y1")
    [ "$shown" -le 10 ] || fail "$which: the empty row shows a choice after Escape (see $which-escaped.png)"
  fi
  xdotool key --window "$window" Escape 2>/dev/null
  wait_for 10 eval '! kill -0 "$app" 2>/dev/null' || fail "$which: still open after Escape"
  # A window with the keyboard gets the key through the server, whose release finds the window gone: the key would
  # stay down and repeat into the next dialog.
  xdotool keyup Escape 2>/dev/null
  wait "$app" || fail "$which: exit $? ($(cat "$work/$which.err"))"
  app=""
  [ "$(cat "$work/$which.out")" = "2" ] || fail "$which: reply $(cat "$work/$which.out"), expected 2"
  [ -n "${KOLUMO_PICTURES:-}" ] && cp "$work/$which.png" "$KOLUMO_PICTURES/screen-$which.png"
done
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"
echo "all three dialogs shown and closed"
