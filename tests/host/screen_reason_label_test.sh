#!/usr/bin/env bash
# A load labelled with a reason in the preview, on a virtual X server: "kolumo edit" of copies of the example with a
# on the variables page and load 3 ("Decke über EG, ständig") given as a*480, once with a = 1 (480 kN) and once with
# a = 1/0, on the loads page. The server's pixels (xwd) of the preview's views: the 3D view draws the column as large
# and where it stands with a value; in every view the reason stands where the number stood, in one line of text,
# moving or covering no other label; no load's text reaches a view's edge (a long reason is shortened there). The
# server's pixels of the window equal the program's own picture of it each time. The pictures go to $KOLUMO_PICTURES
# when it is set. Exit 77 (skipped) without Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
example_screen --xwd --registry 1920x1080 "$@"
pixels="$(dirname "$0")/../support/png_pixels.py"

# The views of the preview in the window's own coordinates at the dialog font (the pictures show the layout), edges
# excluded: the 3D view, the Y-Z and the X-Z view, from x0 to x1 and from y 69 to 452; the 3D view's column lies
# below its title, from y 100.
declare -A x0=([3d]=1047 [yz]=1217 [xz]=1375) x1=([3d]=1205 [yz]=1363 [xz]=1520)
top=69 bottom=452

# preview RUN A: the example with a = A and load 3 = a*480 in "kolumo edit" on the loads page, its preview's views
# as the server shows them in $work/pictures/RUN-3d.png, -yz.png and -xz.png and the 3D view's column part in
# RUN-column.png; the program is ended after.
preview() {
  mkdir -p "$work/$1"
  python3 - "$work/Stuetze.tqx" "$work/$1/Stuetze.tqx" "$2" <<'PY' || fail "$1: cannot write the position's names"
import re, sys
names = ('<vardef version="1.1" numOfEntries="1" bPageBreak="0">'
         '<entry idx="0" type="0" format="0" textHeight="0" digits="2" desc="" varName="a" val="1" unit=""'
         ' bExported="0"><val exp="%s" /></entry></vardef>' % sys.argv[3])
text = open(sys.argv[1], encoding="utf-8").read()
text, inputs = re.subn(r"(<input\b[^>]*>)", lambda m: m.group(1) + names, text, count=1)
text, loads = re.subn(r'(<load [^>]*desc="Decke über EG, ständig"[^>]*) val0="480"([^>]*) />',
                      r'\1 val0="480"\2><val0 exp="a*480" /></load>', text, count=1)
if inputs != 1 or loads != 1:
    sys.exit("no input element or no load 3")
open(sys.argv[2], "w", encoding="utf-8").write(text)
PY
  KOLUMO_ROOT="$work/root" KOLUMO_SCREEN_PICTURE="$work/picture.png" "$kolumo" edit "$work/$1/Stuetze.tqx" \
    >"$work/out" 2>"$work/err" &
  app=$!
  # a load reading a name without a value is named in a box before the window shows
  if [ "$1" = failed ]; then
    wait_for 20 find_box || fail "the position opened without naming the load whose name has no value"
    main=$box
    answer_box_with Return || fail "the box stayed after Enter"
  fi
  wait_for 20 find_main || fail "$1: no window within 20 s"
  click 372 41 # "Belastung"
  agree "$1"
  window_geometry "$main"
  xwd -root -silent -out "$work/$1.xwd" || fail "xwd cannot take a picture"
  local view
  for view in 3d yz xz; do
    python3 "$xwd_region" "$work/$1.xwd" "$work/pictures/$1-$view.png" \
      "$((x + x0[$view])),$((y + top)),$((x + x1[$view])),$((y + bottom))" >/dev/null || fail "$1: cannot read the screen"
  done
  python3 "$xwd_region" "$work/$1.xwd" "$work/pictures/$1-column.png" \
    "$((x + x0[3d])),$((y + 100)),$((x + x1[3d])),$((y + bottom))" >/dev/null || fail "$1: cannot read the screen"
  kill "$app"
  wait "$app" 2>/dev/null
  app=""
}
# region RUN X0 Y0 X1 Y1: in that rectangle of the window of RUN, the count of the 3D view's load red and of pixels
# near the side views' load colour.
region() {
  python3 "$xwd_region" "$work/$1.xwd" /dev/null "$((x + $2)),$((y + $3)),$((x + $4)),$((y + $5))" 90,90,255 |
    cut -d' ' -f3,6
}

preview valued 1
preview failed 1/0

# The column's faces: as large and where they were.
read -r l t r b < <(python3 "$pixels" solid "$work/pictures/valued-column.png")
[ $((r - l)) -gt 8 ] && [ $((b - t)) -gt 150 ] || fail "no column in the 3D view with a value: faces at $l $t $r $b"
read -r fl ft fr fb < <(python3 "$pixels" solid "$work/pictures/failed-column.png")
for k in "$l $fl" "$t $ft" "$r $fr" "$b $fb"; do
  set -- $k
  [ $(($1 - $2)) -le 3 ] && [ $(($2 - $1)) -le 3 ] ||
    fail "the column's faces stand at $fl $ft $fr $fb with the reason, at $l $t $r $b with the value"
done

for view in 3d yz xz; do
  # the reason where the number stood, in one line, the rest of the view as it was
  read -r dl dt dr db < <(python3 "$pixels" where "$work/pictures/valued-$view.png" "$work/pictures/failed-$view.png")
  [ "$dt" -ge 0 ] || fail "$view: the reason shows as the number did"
  [ $((db - dt)) -le 16 ] || fail "$view: the reason changes rows $((top + dt)) to $((top + db)), more than its line"
  read -r red blue < <(region failed $((x0[$view] + dl)) $((top + dt)) $((x0[$view] + dr)) $((top + db)))
  [ $((red + blue)) -gt 20 ] || fail "$view: no reason where the number stood ($red red, $blue blue pixels)"
  # no load's text at the view's edges
  for run in valued failed; do
    for edge in "${x0[$view]} $top $((x0[$view] + 2)) $bottom" "$((x1[$view] - 2)) $top ${x1[$view]} $bottom" \
      "${x0[$view]} $top ${x1[$view]} $((top + 2))" "${x0[$view]} $((bottom - 2)) ${x1[$view]} $bottom"; do
      read -r red blue < <(region $run $edge)
      [ $((red + blue)) -eq 0 ] || fail "$view, $run: a load's text runs into the edge $edge ($red red, $blue blue pixels)"
    done
  done
done

[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
