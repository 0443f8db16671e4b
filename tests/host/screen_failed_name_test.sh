#!/usr/bin/env bash
# A load whose name's definition failed, on a virtual X server: in "kolumo edit" of a copy of the example with a = 1/0
# on the variables page (its stored 1 beside the formula) and b = 2*240, load 3 ("Decke über EG, ständig") given as a
# (its 480 kN stored beside the formula) and load 5 ("Decke über EG, Nutzlast") given as b: the dialog says when it
# opens that load 3 reads a name without a value; on the loads page load 5's cell shows 480.00 kN, underlined, and
# load 3's cell shows why a has no value, not the 480.00 kN it keeps. The server's pixels of the window equal the
# program's own picture of it. The pictures go to $KOLUMO_PICTURES when it is set. Exit 77 (skipped) without Xvfb,
# xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
example_screen --xwd --registry 1920x1080 "$@"
python3 - "$work/Stuetze.tqx" <<'PY' || fail "cannot write the position's names"
import re, sys
names = ('<vardef version="1.1" numOfEntries="2" bPageBreak="0">'
         '<entry idx="0" type="0" format="0" textHeight="0" digits="2" desc="" varName="a" val="1" unit="kN"'
         ' bExported="0"><val exp="1/0" /></entry>'
         '<entry idx="1" type="0" format="0" textHeight="0" digits="2" desc="" varName="b" val="480" unit="kN"'
         ' bExported="0"><val exp="2*240" /></entry></vardef>')
text = open(sys.argv[1], encoding="utf-8").read()
text, inputs = re.subn(r"(<input\b[^>]*>)", lambda m: m.group(1) + names, text, count=1)
counts = []
for desc, stored, name in (("Decke über EG, ständig", "480", "a"), ("Decke über EG, Nutzlast", "160", "b")):
    text, n = re.subn(r'(<load [^>]*desc="%s"[^>]*) val0="%s"([^>]*) />' % (desc, stored),
                      r'\1 val0="480"\2><val0 exp="%s" /></load>' % name, text, count=1)
    counts.append(n)
if inputs != 1 or counts != [1, 1]:
    sys.exit("no input element or no loads 3 and 5")
open(sys.argv[1], "w", encoding="utf-8").write(text)
PY

KOLUMO_ROOT="$work/root" KOLUMO_SCREEN_PICTURE="$work/picture.png" "$kolumo" edit "$work/Stuetze.tqx" \
  >"$work/out" 2>"$work/err" &
app=$!
mkdir -p "$work/pictures"
# the box that names load 3 and why a has no value, when the position is read, before the window shows
# (its text is in the picture start-box-screen.png)
wait_for 20 find_box || fail "the position opened without naming the load whose name has no value"
main=$box
agree start-box
answer_box_with Return || fail "the box stayed after Enter"
wait_for 20 find_main || fail "no window within 20 s"

# Points in the window's own coordinates at the dialog font (the pictures show the layout): the loads page's rows are
# 21 pixels apart, load 3's value P at x 573-647, y 132-149, load 5's at y 174-191.
click 372 41  # "Belastung"
agree loads
read -r failed failed_ink < <(window_region load-3 575 133 646 148)
read -r taken taken_ink < <(window_region load-5 575 175 646 190)
[ "$taken_ink" -gt 20 ] || fail "load 5 shows no text ($taken_ink dark pixels)"
# Both cells would be the same picture if load 3 showed the 480.00 kN it keeps, as load 5 shows its own.
[ "$failed" != "$taken" ] || fail "load 3 shows the number it keeps, as load 5 shows its 480.00 kN"
[ "$failed_ink" -gt 20 ] || fail "load 3 shows nothing ($failed_ink dark pixels)"
read -r _ failed_end < <(window_region load-3-end 631 133 646 148)
[ "$failed_end" -gt 5 ] || fail "load 3's reason does not run on to the cell's edge ($failed_end dark pixels there)"
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
