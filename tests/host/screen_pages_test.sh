#!/usr/bin/env bash
# Every page of "kolumo edit" on a virtual X server, and the dialogs the pages open (cross-section, foundation
# restraint, numeric and graphic output, fire): each tab is clicked through real X events and pictured, each
# dialog appears under its caption, is pictured and closes with Escape; "Abbrechen" then ends the program at once,
# since looking at pages changes nothing. Then, with the document part on the first tab ("bSkrib"), the window on
# the screen is held against the program's own picture of it, the tab strip included. Last, a new position switched
# to another code shows and saves the steel grade a calculation takes. The pictures go to $KOLUMO_PICTURES when it
# is set, for a look. Exit 77 (skipped) without Xvfb, xdotool, python3 or xwd.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
edit_example --xwd 1920x1080 "$@"

# A picture of what the screen shows now, as $1.png; the program draws every event sent before the signal first.
picture() {
  rm -f "$work/picture.png"
  kill -USR1 "$app"
  wait_for 10 test -s "$work/picture.png" || fail "$1: no picture"
  [ "$(head -c 8 "$work/picture.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$1: no PNG"
  mv "$work/picture.png" "$work/pictures/$1.png"
}
# Clicks a button at ($2, $3) of the main window; the dialog captioned $4 appears, is pictured as $1, and Escape
# closes it.
dialog() {
  caption=$4
  click "$2" "$3"
  find_dialog() { dialog=$(xdotool search --name "^$caption\$" 2>/dev/null | head -n1) && [ -n "$dialog" ]; }
  dialog_gone() { ! xdotool search --name "^$caption\$" >/dev/null 2>&1; }
  wait_for 10 find_dialog || fail "$1: no dialog \"$caption\""
  picture "$1"
  xdotool key --window "$dialog" Escape 2>/dev/null
  wait_for 10 dialog_gone || fail "$1: still open after Escape"
}

# steel_cell NAME: the steel grade's cell of the system page as the X server shows it, as $work/pictures/NAME.png.
steel_cell() {
  window_geometry "$main"
  python3 "$xwd_region" <(xwd -root -silent) "$work/pictures/$1.png" $((x + 886)),$((y + 108)),$((x + 968)),$((y + 126)) \
    >/dev/null || fail "$1: cannot read the screen"
}

# Points in the window's own coordinates at the dialog font (the pictures show the layout): the tabs on y 42.
tabs=(57:0-variables 143:1-control-values 212:2-system 289:3-pre-deformation 372:4-loads 437:5-results)
for tab in "${tabs[@]}"; do
  click "${tab%%:*}" 42
  picture "tab${tab#*:}"
  case ${tab#*:} in
    1-*)
      dialog numeric-output 632 161 "Steuerung der numerische Ausgabe"
      dialog graphic-output 825 161 "Steuerung der grafischen Ausgabe"
      dialog fire 632 224 "Brandschutz"
      ;;
    2-*)
      steel_cell example-steel
      dialog cross-section 389 141 "TQ-KOLUMO Querschnittsdefinition"
      dialog foundation 890 197 "Fundamenteinspannung"
      ;;
  esac
done
# Each tab shows a page of its own.
[ "$(md5sum "$work"/pictures/tab*.png | cut -d' ' -f1 | sort -u | wc -l)" -eq ${#tabs[@]} ] ||
  fail "two tabs look the same: $(md5sum "$work"/pictures/tab*.png)"
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"

# "Abbrechen" ends the program without a question: the pages were only looked at, and the results tab's
# calculation gave the results the position holds. The file stays as it was.
click 975 457  # "Abbrechen"
ended_or_asked() { ! kill -0 "$app" 2>/dev/null || find_box; }
wait_for 20 ended_or_asked || fail "kolumo neither ended nor asked on Abbrechen"
find_box && fail "Abbrechen asked before discarding, though nothing was changed"
wait "$app"
status=$?
app=""
[ $status -eq 0 ] || fail "kolumo edit ended with $status"
cmp -s "$data/examples/Stuetze.tqx" "$work/Stuetze.tqx" || fail "the position file changed"

# The document part instead of the variable table: the window opens on the system tab, then shows the document
# part; the screen shows the tab strip as the program draws it each time.
document_editor_registry
KOLUMO_ROOT="$work/root" KOLUMO_SCREEN_PICTURE="$work/picture.png" "$kolumo" edit "$work/Stuetze.tqx" \
  >"$work/out" 2>"$work/err" &
app=$!
wait_for 20 find_main || fail "no window with the document part within 20 s"
sleep 0.5
agree document-part-opened
click 57 42
agree document-part-tab
click 329 276
xdotool type --window "$main" --delay 15 "Notiz"
agree document-part-typed
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/document-part-*.png "$KOLUMO_PICTURES/"
kill "$app"
wait "$app" 2>/dev/null
app=""

# A new position (C25/30, "BSt 500 SA" under DIN 1045-1) switched to "DIN EN 1992 / NA", whose steel list lacks
# "BSt 500 SA": the steel cell shows, pixel for pixel, what the cell of the example with B500A shows, the grade the
# catalogue renames it to and a calculation takes for it (never the more ductile B500B), and OK saves that grade.
# The variable table is back on the first tab, as in the first part.
rm -f "$ORMI_REGISTRY"
# edit_position NAME: "kolumo edit" on $work/NAME.tqx, waited for until its window is there.
edit_position() {
  KOLUMO_ROOT="$work/root" KOLUMO_SCREEN_PICTURE="$work/picture.png" "$kolumo" edit "$work/$1.tqx" \
    >"$work/out" 2>"$work/err" &
  app=$!
  find_position() { main=$(xdotool search --name "^kolumo - $1\\.tqx\$" 2>/dev/null | head -n1) && [ -n "$main" ]; }
  wait_for 20 find_position "$1" || fail "no window of $1.tqx within 20 s"
}
sed 's/sStahl="B500B"/sStahl="B500A"/' "$work/Stuetze.tqx" >"$work/KlasseA.tqx"
edit_position KlasseA
click 212 42
picture class-a-system
steel_cell class-a-steel
click 975 457  # "Abbrechen"
wait "$app"
app=""
KOLUMO_ROOT="$work/root" "$kolumo" new "$work/Neu.tqx" >"$work/new.out" 2>"$work/new.err" || fail "kolumo new failed"
edit_position Neu
click 143 42
click 49 155  # "DIN EN 1992 / NA"
click 212 42
picture new-position-annex
steel_cell new-position-steel
different=$(python3 "$(dirname "$0")/../support/png_pixels.py" differ "$work/pictures/class-a-steel.png" \
  "$work/pictures/new-position-steel.png")
[ "$different" -eq 0 ] || fail "the new position's steel cell differs from the B500A cell in $different pixels"
[ "$(python3 "$(dirname "$0")/../support/png_pixels.py" differ "$work/pictures/example-steel.png" \
  "$work/pictures/class-a-steel.png")" -gt 0 ] || fail "the cells of B500A and B500B look the same"
click 877 457  # OK
ended_with_success
grep -q 'sBeton="C25/30" sStahl="B500A"' "$work/Neu.tqx" ||
  fail "the new position was saved with $(grep -o 'sBeton="[^"]*" sStahl="[^"]*"' "$work/Neu.tqx")"
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*steel*.png "$work"/pictures/new-position-*.png "$work"/pictures/class-a-*.png \
  "$KOLUMO_PICTURES/"
echo "passed: $(ls "$work/pictures" | wc -l) pictures"
