#!/usr/bin/env bash
# "kolumo edit" on a virtual X server with the preview beside the input dialog: on the system tab the preview shows
# the column's sections and loads; a click on the results tab through real X events calculates, and the preview
# then shows the result diagram beside the column instead of the loads. Cancel then ends without a question (the
# input is as it was) and leaves the file as it was. Exit 77 (skipped) without Xvfb or xdotool.
set -u
command -v python3 >/dev/null || { echo "python3 missing: skipped"; exit 77; }
source "$(dirname "$0")/../support/xvfb.sh"

# Pixels of each colour R,G,B in the picture's columns from x0 (a fraction of its width) to its right edge; the PNG
# is read by cairo, as the program writes it.
cat >"$work/count.py" <<'EOF'
import ctypes, ctypes.util, sys
cairo = ctypes.CDLL(ctypes.util.find_library('cairo') or 'libcairo.so.2')
cairo.cairo_image_surface_create_from_png.restype = ctypes.c_void_p
cairo.cairo_image_surface_get_data.restype = ctypes.c_void_p
for f in ('get_data', 'get_width', 'get_height', 'get_stride'):
    getattr(cairo, 'cairo_image_surface_' + f).argtypes = [ctypes.c_void_p]
cairo.cairo_surface_destroy.argtypes = [ctypes.c_void_p]
s = cairo.cairo_image_surface_create_from_png(sys.argv[1].encode())
w, h = cairo.cairo_image_surface_get_width(s), cairo.cairo_image_surface_get_height(s)
stride = cairo.cairo_image_surface_get_stride(s) // 4
pixels = memoryview(ctypes.string_at(cairo.cairo_image_surface_get_data(s), stride * 4 * h)).cast('I')
x0 = int(w * float(sys.argv[2]))
region = [p & 0xFFFFFF for y in range(h) for p in pixels[y * stride + x0:y * stride + w]]
colours = [[int(v) for v in arg.split(',')] for arg in sys.argv[3:]]
print(' '.join(str(region.count(r << 16 | g << 8 | b)) for r, g, b in colours))
cairo.cairo_surface_destroy(s)
EOF

example_screen 1920x1080 "$@"
KOLUMO_ROOT="$work/root" KOLUMO_SCREEN_PICTURE="$work/shot.png" "$kolumo" edit "$work/Stuetze.tqx" \
  >"$work/out" 2>"$work/err" &
app=$!
wait_for 20 find_window || fail "no window within 20 s"

# A picture of the window, kept beside the test for a look.
shot() {
  rm -f "$work/shot.png"
  kill -USR1 "$app"
  wait_for 10 test -s "$work/shot.png" || fail "no picture of the window"
  sleep 0.2  # the file is written whole before the next look
  cp "$work/shot.png" "./$1"
}
# The preview stands right of the input dialog (583 of the window's 943 dialog units): the pixels there of the
# section fill, the loads of the 2D views and the result diagram's area.
count() { read -r section loads diagram < <(python3 "$work/count.py" "$work/shot.png" 0.62 192,192,192 90,90,255 255,90,90); }

shot screen_preview_system.png
count
[ "$section" -gt 1000 ] || fail "no section fill in the preview"
[ "$loads" -gt 100 ] || fail "no loads in the preview"
[ "$diagram" -eq 0 ] || fail "a result diagram before the results tab"

# The results tab ("Ergebnisse") at the dialog font, in the window's own coordinates: the calculation runs, the
# X-Z view and the section give way to the Y-Z view with the diagram.
xdotool mousemove --window "$window" 444 41 click 1 || fail "xdotool cannot click"
results() {
  shot screen_preview_results.png
  count
  [ "$diagram" -gt 1000 ]
}
wait_for 20 results || fail "no result diagram in the preview after the results tab"
[ "$loads" -eq 0 ] || fail "loads still drawn in the 2D views on the results tab"

# "Abbrechen": the calculation's results follow from the input, which nobody changed, so the window ends without a
# question. Nothing is written.
xdotool mousemove --window "$window" 970 457 click 1
ended_or_asked() { ! kill -0 "$app" 2>/dev/null || find_box; }
wait_for 20 ended_or_asked || fail "kolumo neither ended nor asked on Cancel"
find_box && fail "Cancel asked before discarding, though no input was changed"
wait "$app"
status=$?
app=""
[ $status -eq 0 ] || fail "kolumo edit ended with $status"
cmp -s "$data/examples/Stuetze.tqx" "$work/Stuetze.tqx" || fail "Cancel changed the position file"
echo "passed"
