#!/usr/bin/env bash
# "kolumo edit" on a virtual X server, driven by real X events: on the preview's "Vorschau Ausgabe" tab the
# report's down arrow held scrolls on and on, its vertical scroll-bar thumb is dragged to the bottom of its bar (the report's end shows; the down arrow
# then moves nothing, the up arrow moves it back), and the window, which tells the window manager that it may be
# made larger (a least size and no largest one in its size hints), is sized to 1800 x 1000 as a window manager would
# (xdotool; without a window manager the server configures the window and the program hears it): the output view
# grows; the program's own frame maximises it on a double click on its title and sizes it by its corner. Pictures
# from the server go to the working folder. Exit 77 (skipped) without Xvfb, xdotool, xprop or xwd.
set -u
command -v python3 >/dev/null && command -v xwd >/dev/null && command -v xprop >/dev/null ||
  { echo "python3, xprop or xwd missing: skipped"; exit 77; }
source "$(dirname "$0")/../support/xvfb.sh"
example_screen 1920x1080 "$@"
xwd_track="$(dirname "$0")/../support/xwd_track.py"
KOLUMO_ROOT="$work/root" "$kolumo" edit "$work/Stuetze.tqx" >"$work/out" 2>"$work/err" &
app=$!
wait_for 20 find_window || fail "no window within 20 s"

# Its size hints: a least size and no largest, so that a window manager lets the engineer size it.
hints=$(xprop -id "$window" WM_NORMAL_HINTS)
grep -q "program specified minimum size" <<<"$hints" || fail "no least size in the hints: $hints"
grep -q "program specified maximum size" <<<"$hints" && fail "a largest size in the hints: $hints"

# The results tab calculates; then "Vorschau Ausgabe" shows the report (as the output screen test does).
xdotool mousemove --window "$window" 444 41 click 1 || fail "xdotool cannot click"
diagram() { [ "$(python3 "$xwd_region" <(xwd -root -silent) /dev/null 1230,380,1780,760 | cut -d' ' -f2)" -gt 1000 ]; }
wait_for 90 diagram || fail "no result diagram in the preview after the results tab"
xdotool mousemove --window "$window" 1141 46 click 1
report() {
  xwd -root -silent >"$work/screen.xwd" &&
    read -r dark red loads _ < <(python3 "$xwd_region" "$work/screen.xwd" /dev/null 1180,360,1780,760) &&
    [ "$dark" -gt 3000 ] && [ "$red" -eq 0 ] && [ "$loads" -gt 1000 ]
}
wait_for 60 report || fail "no report in the output tab"
python3 "$xwd_region" "$work/screen.xwd" "$work/pictures/first-page.png" 1100,300,1800,800 >/dev/null

# The longest run of the bar's track (grey 200) in column $1 from row $2 to $3: its first and last row.
track_run() {
  python3 - "$work/screen.xwd" "$@" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
h = struct.unpack('>25I', data[:100])
size, order, bpl, ncolors = h[0], h[7], h[12], h[19]
base, end = size + ncolors * 12, '<' if order == 0 else '>'
x, a, b = int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
best, run = (0, -1, -1), 0
for y in range(a, b):
    p = struct.unpack_from(end + 'I', data, base + y * bpl + x * 4)[0] & 0xFFFFFF
    run = run + 1 if p == 0xC8C8C8 else 0
    if run > best[0]: best = (run, y - run + 1, y)
print(best[1], best[2])
PY
}
# The box's bars: the horizontal one's row below the box, the vertical one's column at its right side.
bar_row=$(python3 "$xwd_track" "$work/screen.xwd" column 1700 700 780)
[ "$bar_row" -ge 700 ] || fail "no horizontal scroll bar below the output box"
bar_x=$(python3 "$xwd_track" "$work/screen.xwd" row 600 1700 1780)
[ "$bar_x" -ge 1700 ] || fail "no vertical scroll bar right of the output box"
# One click on the down arrow (just above the horizontal bar) scrolls one step: the loads' topmost row moves up by
# it. Held for 1.5 s the arrow repeats (after 0.4 s, then every 50 ms): many steps more than 3.
loads_top() {
  xwd -root -silent >"$work/screen.xwd" &&
    read -r _ _ loads _ top < <(python3 "$xwd_region" "$work/screen.xwd" /dev/null 1180,360,1780,760)
}
loads_top
first_top=$top
xdotool mousemove "$bar_x" $((bar_row - 16)) click 1
moved() { loads_top && [ "$top" -lt "$first_top" ]; }
wait_for 10 moved || fail "a click on the down arrow did not scroll the report"
sleep 0.3
loads_top
step=$((first_top - top)) clicked_top=$top
xdotool mousedown 1 sleep 1.5 mouseup 1
sleep 0.5
loads_top
[ "$loads" -lt 100 ] || [ $((clicked_top - top)) -gt $((3 * step)) ] ||
  fail "the held arrow scrolled $((clicked_top - top)) pixels, one click $step: it did not repeat"
[ "$loads" -lt 100 ] && held="the system picture out of the view (more than $((clicked_top - 360)) pixels)" ||
  held="$((clicked_top - top)) pixels"
echo "one click on the down arrow: $step pixels; held 1.5 s: $held"
read -r track_top track_bottom < <(track_run "$bar_x" 300 "$bar_row")
# At the report's start the thumb lies on the track's top, just below the up arrow: taken 6 pixels above the track.
xdotool mousemove "$bar_x" $((track_top - 6)) mousedown 1
for y in $(seq $((track_top + 40)) 60 $((bar_row + 40))); do xdotool mousemove "$bar_x" "$y"; sleep 0.05; done
xdotool mouseup 1
at_end() {
  xwd -root -silent >"$work/screen.xwd" && read -r top bottom < <(track_run "$bar_x" 300 "$bar_row") &&
    [ "$top" -lt "$track_top" ] && [ "$bottom" -lt "$track_bottom" ]
}
wait_for 20 at_end || fail "the thumb did not stay at the bottom (track from $top to $bottom)"
read -r thumb_top thumb_bottom < <(track_run "$bar_x" 300 "$bar_row")
python3 "$xwd_region" "$work/screen.xwd" "$work/pictures/last-page.png" 1100,300,1800,800 >/dev/null
read -r _ _ loads_end _ < <(python3 "$xwd_region" "$work/screen.xwd" /dev/null 1180,360,1780,760)
[ "$loads_end" -lt 1000 ] || fail "the first page's system picture is still shown after the drag"
# At the end the down arrow (just above the horizontal bar) moves nothing; the up arrow (above the track) moves up.
sum() { python3 "$xwd_region" <(xwd -root -silent) "$work/pictures/$1.png" 1180,360,1780,760 >/dev/null && md5sum <"$work/pictures/$1.png"; }
sleep 0.5
before=$(sum end)
xdotool mousemove "$bar_x" $((bar_row - 16)) click 1
sleep 0.5
[ "$(sum end-down)" = "$before" ] || fail "the down arrow moved the report beyond the end that the thumb showed"
xdotool mousemove "$bar_x" $((thumb_top - 8)) click 1
changed() { [ "$(sum end-up)" != "$before" ]; }
wait_for 10 changed || fail "the up arrow did not move the report from its end"

# Sized to 1800 x 1000 at the screen's corner: the server configures the window (there is no window manager), the
# program hears the new size and lays out its dialog and preview larger: relative to the window, the output view's
# vertical bar lies further right and its horizontal bar 520 pixels lower (the window was 480 high).
window_geometry "$window"
x0=$x y0=$y w0=$w h0=$h
xdotool windowmove "$window" 0 0 windowsize "$window" 1800 1000 || fail "xdotool cannot size the window"
sized() { window_geometry "$window"; [ "$w" -eq 1800 ] && [ "$h" -eq 1000 ] && [ "$x" -eq 0 ]; }
wait_for 10 sized || fail "the window is ${w}x${h}, not 1800x1000"
grown() {
  xwd -root -silent >"$work/screen.xwd" &&
    new_x=$(python3 "$xwd_track" "$work/screen.xwd" row 600 1600 1800) &&
    new_row=$(python3 "$xwd_track" "$work/screen.xwd" column $((new_x - 40)) 800 1000) &&
    [ "$new_x" -gt $((bar_x - x0)) ] && [ $((new_row - (bar_row - y0))) -eq $((1000 - h0)) ]
}
wait_for 20 grown
python3 "$xwd_region" "$work/screen.xwd" "$work/pictures/sized.png" 0,0,1800,1000 >/dev/null
grown || fail "the output view did not grow (its bars at column $new_x, row $new_row; were $((bar_x - x0)), $((bar_row - y0)))"
echo "output view's bars in the window: column $((bar_x - x0)), row $((bar_row - y0)) in ${w0}x${h0}; column $new_x, row $new_row in 1800x1000"

# Without a window manager the program's own frame stands in for one: a double click on its title maximises the
# window to the screen, the maximise box left of the close box gives it its size back, and its bottom-right corner
# dragged 60 pixels up and left makes it smaller (the moves sent at once: the press is where the pointer was then).
xdotool mousemove --window "$window" 400 10 click --repeat 2 --delay 80 1
maximised() { window_geometry "$window"; [ "$w" -eq 1920 ] && [ "$h" -eq 1080 ]; }
wait_for 10 maximised || fail "a double click on the title did not maximise the window (${w}x${h})"
python3 "$xwd_region" <(xwd -root -silent) "$work/pictures/maximised.png" 0,0,1920,1080 >/dev/null
sleep 0.5
xdotool mousemove --window "$window" $((1920 - 30)) 10 click 1
wait_for 10 sized || fail "the maximise box did not give the window its size back (${w}x${h})"
xdotool mousemove 1798 998 mousedown 1 mousemove 1770 970 mousemove 1738 938 mouseup 1
smaller() { window_geometry "$window"; [ "$w" -eq 1740 ] && [ "$h" -eq 940 ]; }
wait_for 10 smaller || fail "the frame's corner dragged did not size the window (${w}x${h})"
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"
echo "passed"
