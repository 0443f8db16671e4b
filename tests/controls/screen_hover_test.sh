#!/usr/bin/env bash
# The module's buttons on a virtual X server, driven by real X events and read from the server's pixels (xwd), in
# the probe window of screen_hover. The pointer rests on "Hilfe": its tip window is mapped, named by its text, with
# that text drawn; it goes when the pointer leaves, and when it comes back and clicks. The click hands the button's
# address to the desktop's opener (a stand-in that records its arguments); an opener that fails brings a box that
# says so. A click on "Bearbeiten" drops down its owner-drawn icon menu: the items' images, their texts and their
# shortcuts right-aligned apart from them; the letter e picks "&Einfügen". Exit 77 (skipped) without Xvfb, xdotool,
# xwd or python3.
set -u
probe=$1
source "$(dirname "$0")/../support/xvfb.sh"
need_xwd
url=https://example.org/kolumo/hilfe

start_xvfb 1280x1024 || fail "no virtual X server would serve: $(cat "$work/xvfb.log")"
export ORMI_REGISTRY="$work/registry.xml"
# The opener: writes its arguments, one a line; fails (status 4) while $work/refuse exists.
cat >"$work/opener" <<EOF
#!/bin/sh
printf '%s\n' "\$@" >"$work/told"
[ ! -e "$work/refuse" ] || exit 4
EOF
chmod +x "$work/opener"
KOLUMO_OPENER="$work/opener" "$probe" >"$work/out" 2>"$work/err" &
app=$!
placed() { grep -q '^edit ' "$work/out"; }
wait_for 20 placed || fail "the probe shows no buttons"
read -r _ hx hy _ hh <<<"$(grep '^help ' "$work/out")"
read -r _ ex ey _ eh <<<"$(grep '^edit ' "$work/out")"
# shot NAME X0 Y0 X1 Y1: that part of the screen as $work/pictures/NAME.png; prints the count of dark (text) pixels
# and those near the colour R,G,B when given as $7.
mkdir -p "$work/pictures"
shot() {
  python3 "$xwd_region" <(xwd -root -silent) "$work/pictures/$1.png" "$2,$3,$4,$5" ${6:+"$6"} ||
    fail "$1: cannot read the screen"
}
keep() { [ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"; return 0; }

tip_shown() { tip=$(xdotool search --onlyvisible --name 'ffnet die Hilfe im Browser$' 2>/dev/null | head -n1) && [ -n "$tip" ]; }
tip_gone() { ! tip_shown; }
xdotool mousemove $((hx + 50)) $((hy + hh / 2)) || fail "xdotool cannot move the pointer"
wait_for 5 tip_shown || fail "no tip after the pointer rested on \"Hilfe\""
window_geometry "$tip"
read -r dark _ <<<"$(shot tip "$x" "$y" $((x + w)) $((y + h)))"
[ "$dark" -gt 40 ] || fail "the tip shows no text: $dark dark pixels in ${w}x${h}"
[ "$y" -ge $((hy + hh / 2)) ] || fail "the tip stands above the pointer (at $y)"
xdotool mousemove $((hx + 50)) $((hy + 120)) # off the button, onto the window
wait_for 3 tip_gone || fail "the tip stayed after the pointer left the button"

xdotool mousemove $((hx + 40)) $((hy + hh / 2))
wait_for 5 tip_shown || fail "no tip after the pointer came back to \"Hilfe\""
xdotool click 1
wait_for 3 tip_gone || fail "the tip stayed after the click"
opened() { [ "$(cat "$work/told" 2>/dev/null)" = "$url" ]; }
wait_for 10 opened || fail "the opener got \"$(cat "$work/told" 2>/dev/null)\", not the button's address"
find_box() { box=$(xdotool search --onlyvisible --name '^screen_hover$' 2>/dev/null | tail -n1) && [ -n "$box" ]; }
find_box && fail "a box came although the opener opened the address"

touch "$work/refuse"
rm -f "$work/told"
xdotool click 1
wait_for 10 find_box || fail "no box said that the opener failed"
wait_for 5 opened || fail "the failing opener did not get the address"
xdotool key --window "$box" Return 2>/dev/null
wait_for 10 sh -c "! xdotool search --onlyvisible --name '^screen_hover\$' >/dev/null 2>&1" || fail "the box stayed"

# The menu drops down at the button's bottom-left corner; the pointer stays on the button, so no item is lit. Its
# rows (a border of 1, then 2) are 22 pixels high (the image's 15 and the gap of 7), the separator 11.
xdotool mousemove $((ex + 50)) $((ey + eh / 2)) click 1
sleep 1
top=$((ey + eh))
read -r _ _ _ _ _ red <<<"$(shot menu-red $((ex + 1)) "$top" $((ex + 28)) $((top + 25)) 255,76,76)"
read -r _ _ _ _ _ blue <<<"$(shot menu-blue $((ex + 1)) $((top + 25)) $((ex + 28)) $((top + 47)) 76,76,255)"
[ "$red" -ge 80 ] && [ "$blue" -ge 80 ] ||
  fail "the items' images are missing: $red pixels of the red image in its row, $blue of the blue one"
xwd -root -silent -out "$work/menu.xwd" || fail "xwd cannot take a picture"
python3 "$xwd_region" "$work/menu.xwd" "$work/pictures/menu.png" "$ex,$top,$((ex + 200)),$((top + 90))" >/dev/null
# Per item row (tops 3, 25, 58 below the menu's top), right of the image column and left of the menu's right border
# (the first column dark from top to bottom): the first and last dark column and the widest gap between them.
rows=$(python3 - "$work/menu.xwd" $((ex + 28)) "$top" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
h = struct.unpack('>25I', data[:100])
size, order, bpl, ncolors = h[0], h[7], h[12], h[19]
base, end = size + ncolors * 12, '<' if order == 0 else '>'
x0, top = int(sys.argv[2]), int(sys.argv[3])
def dark(x, y):
    p = struct.unpack_from(end + 'I', data, base + y * bpl + x * 4)[0]
    return max((p >> 16) & 255, (p >> 8) & 255, p & 255) < 96
right = next(x for x in range(x0, x0 + 300) if all(dark(x, y) for y in range(top + 3, top + 80)))
out = []
for t in (3, 25, 58):
    cols = [x - x0 for x in range(x0, right) if any(dark(x, y) for y in range(top + t + 3, top + t + 19))]
    gaps = [b - a - 1 for a, b in zip(cols, cols[1:])]
    out.append('%d,%d,%d' % (cols[0], cols[-1], max(gaps, default=0)) if cols else '0,0,0')
print(right - x0, *out)
PY
) || fail "cannot read the menu's rows"
read -r width first second third <<<"$rows"
for row in "$first" "$second" "$third"; do
  IFS=, read -r from to gap <<<"$row"
  [ "$from" -ge 2 ] && [ $((to - from)) -ge 60 ] || fail "an item's text or shortcut is missing: rows $rows"
  [ "$gap" -ge 4 ] || fail "an item's text and shortcut run together: rows $rows"
  [ $((width - to)) -ge 8 ] || fail "a shortcut reaches the menu's border: rows $rows"
done
IFS=, read -r _ to0 _ <<<"$first"
IFS=, read -r _ to1 _ <<<"$second"
IFS=, read -r _ to2 _ <<<"$third"
# right-aligned: the last letters' own right edges (C, V, f) differ by a pixel or two
[ $((to0 - to1)) -le 2 ] && [ $((to1 - to0)) -le 2 ] && [ $((to2 - to0)) -le 2 ] && [ $((to0 - to2)) -le 2 ] ||
  fail "the shortcuts do not end in one column: rows $rows"
xdotool type e
picked() { grep -qx 'command 2002' "$work/out"; }
wait_for 5 picked || fail "the letter e did not pick \"Einfügen\": $(tr '\n' '|' <"$work/out")"
keep
echo "passed"
