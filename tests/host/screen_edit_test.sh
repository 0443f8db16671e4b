#!/usr/bin/env bash
# "kolumo edit" end to end on a virtual X server: a copy of the example opened, a click into the annotation line
# and text typed through real X events, a picture of the window, OK, and the text in the saved file with nothing
# else changed. Exit 77 (skipped) without Xvfb or xdotool.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
example_screen 1920x1080 "$@"
KOLUMO_ROOT="$work/root" KOLUMO_SCREEN_PICTURE="$work/edit.png" "$kolumo" edit "$work/Stuetze.tqx" \
  >"$work/out" 2>"$work/err" &
app=$!
wait_for 20 find_window || fail "no window within 20 s"
kill -0 "$app" 2>/dev/null || fail "kolumo ended with its window"

# Points in the window's own coordinates (its whole rectangle, frame and caption included), as its picture shows
# the layout at the dialog font: the annotation line spans x 91-826, y 446-467; OK spans x 836-918 on that row.
text="Geprueft 42, B/3"
xdotool mousemove --window "$window" 300 457 click 1 || fail "xdotool cannot click"
xdotool type --window "$window" --delay 15 "$text" || fail "xdotool cannot type"
kill -USR1 "$app"
wait_for 10 test -s "$work/edit.png" || fail "no picture of the window"
[ "$(head -c 8 "$work/edit.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "the picture is no PNG"
# a picture of that window: its size (the PNG header's width and height) is the X window's
size=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: *//p')
png=$(od -An -tu1 -j16 -N8 "$work/edit.png" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
[ "$png" = "$size" ] || fail "the picture is $png, the window $size"
cp "$work/edit.png" ./screen_edit.png  # kept beside the test for a look
xdotool mousemove --window "$window" 877 457 click 1

wait_for 20 sh -c "! kill -0 $app 2>/dev/null" || fail "kolumo did not end after OK"
wait "$app"
status=$?
app=""
[ $status -eq 0 ] || fail "kolumo edit ended with $status"
# the typed text is the annotation of the tab shown (the system tab, 2), and nothing else changed
sed "s|Anmerkung_2=\"\"|Anmerkung_2=\"$text\"|" "$data/examples/Stuetze.tqx" >"$work/expected.tqx"
grep -q "Anmerkung_2=\"$text\"" "$work/Stuetze.tqx" || fail "the typed annotation is not in the file"
cmp -s "$work/expected.tqx" "$work/Stuetze.tqx" || fail "the file changed beyond the annotation: $(diff "$work/expected.tqx" "$work/Stuetze.tqx" | head)"
echo "passed"
