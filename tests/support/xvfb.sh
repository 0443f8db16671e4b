# Sourced first by the screen tests. It skips the test (exit 77) without Xvfb or xdotool, makes the scratch folder
# $work (removed on exit, with the program $app and the server $xvfb stopped), gives fail and wait_for, keeps Xlib's
# connection caches out of the leak checker's report (they live as long as the process, as the font and drawing
# libraries the project's suppressions already name do), and start_xvfb, agree and the helpers below.
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "Xvfb or xdotool missing: skipped"; exit 77; }
work=$(mktemp -d)
app=""
xvfb=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  # the pictures taken so far, for a look at what went wrong
  [ -n "${KOLUMO_PICTURES:-}" ] && [ -d "$work/pictures" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/" 2>/dev/null
  echo "--- windows: $(xdotool search --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
  for f in "$work"/err "$work"/*.err; do [ -s "$f" ] && { echo "--- $f"; cat "$f"; }; done
  exit 1
}
# Polls a condition for at most $1 seconds.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.05
  done
}
# The reader of the server's pixels: a region of an xwd dump, as PNG and as a grey-level signature.
xwd_region="$(dirname "${BASH_SOURCE[0]}")/xwd_region.py"
xwd_ink="$(dirname "${BASH_SOURCE[0]}")/xwd_ink.py"
# need_xwd: skips the test (exit 77) where the server's pixels cannot be read.
need_xwd() {
  command -v python3 >/dev/null && command -v xwd >/dev/null || { echo "python3 or xwd missing: skipped"; exit 77; }
}
# click X Y [BUTTON]: a click at a point in the window $main's own coordinates (at the dialog font; the pictures
# show the layout).
click() { xdotool mousemove --window "$main" "$1" "$2" click "${3:-1}" || fail "xdotool cannot click"; }
if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]+) ]]; then
  { cat "${BASH_REMATCH[1]}"; printf 'leak:libX11.so\nleak:libxcb.so\n'; } >"$work/lsan.supp"
  export LSAN_OPTIONS="${LSAN_OPTIONS/suppressions=${BASH_REMATCH[1]}/suppressions=$work/lsan.supp}"
fi

# An installation root in $work/root on the data folder $1, and a copy of the example column as $work/Stuetze.tqx.
example_position() {
  mkdir -p "$work/root"
  for part in pi catalogs Vorlagen; do ln -s "$1/$part" "$work/root/$part"; done
  cp "$1/examples/Stuetze.tqx" "$work/Stuetze.tqx"
}

# The registry file $ORMI_REGISTRY with the document editor on the first tab instead of the variable table; each
# argument NAME=VALUE is a further setting of the editor (section "Skrib").
document_editor_registry() {
  local setting skrib=""
  for setting in "$@"; do
    skrib+="            <value name=\"${setting%%=*}\" type=\"REG_SZ\" text=\"${setting#*=}\" />"$'\n'
  done
  [ -n "$skrib" ] && skrib="          <key name=\"Skrib\" written=\"1\">"$'\n'"$skrib          </key>"$'\n'
  cat >"$ORMI_REGISTRY" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<registry>
  <hive name="HKEY_CURRENT_USER" written="1">
    <key name="software" written="1">
      <key name="Ormi" written="1">
        <key name="Vernik2005" written="1">
          <value name="bSkrib" type="REG_SZ" text="1" />
$skrib        </key>
      </key>
    </key>
  </hive>
</registry>
XML
}

# editor_picture STEP: the editor's text as the server shows it ($work/pictures/STEP-xwd.png), held against the
# program's own picture (agree).
editor_picture() {
  window_geometry "$main"
  python3 "$(dirname "${BASH_SOURCE[0]}")/xwd_region.py" <(xwd -root -silent) "$work/pictures/$1-xwd.png" \
    "$x,$y,$((x + 880)),$((y + 300))" >/dev/null || fail "$1: cannot cut the editor out of the screen"
  agree "$1"
}
# with_document SOURCE TARGET [INNER]: TARGET as the position SOURCE whose document is the RTF on standard input, with
# the XML INNER inside the document's element.
with_document() { python3 "$(dirname "${BASH_SOURCE[0]}")/document_position.py" "$@"; }
# start_editor X Y: "kolumo edit" ($kolumo) of $work/Stuetze.tqx as $app, its window in $window and $main (at x, y
# on the screen), its first tab shown and clicked at X, Y of the window.
start_editor() {
  KOLUMO_ROOT="$work/root" "$kolumo" edit "$work/Stuetze.tqx" >"$work/out" 2>"$work/err" &
  app=$!
  wait_for 20 find_main || fail "no window within 20 s"
  window=$main
  xdotool mousemove --window "$window" 57 42 click 1
  sleep 1
  xdotool mousemove --window "$window" "$1" "$2" click 1
  sleep 0.5
  window_geometry "$window"
}
# saved_document_rtf POSITION OUT: the document part's RTF as the position file holds it (base64 of the bytes).
saved_document_rtf() {
  sed -n 's/.*<Skrib [^>]*rtfData="\([^"]*\)".*/\1/p' "$1" | head -n1 | base64 -d 2>/dev/null | tr -d '\0' >"$2"
}

# start_xvfb SIZE starts a virtual X server on a free display, sets xvfb (its
# process) and DISPLAY, and returns 1 when none would serve. A server can report a display that another
# server started at the same moment holds; such a display refuses us, and a new server is started. Without
# -noreset the server resets whenever its last client leaves and refuses the next one meanwhile.
start_xvfb() {
  local size=$1 attempt
  for attempt in 1 2 3; do
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb=$!
    local deadline=$((SECONDS + 10))
    until [ -s "$work/display" ] || [ $SECONDS -ge $deadline ]; do sleep 0.05; done
    if [ -s "$work/display" ]; then
      export DISPLAY=":$(head -n1 "$work/display")"
      xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    fi
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    xvfb=""
  done
  return 1
}

# The window of "kolumo edit" of $work/Stuetze.tqx in $window; the preview showing the result diagram.
find_window() { window=$(xdotool search --name '^kolumo - Stuetze\.tqx$' 2>/dev/null | head -n1) && [ -n "$window" ]; }
diagram() {
  local region
  region=$(python3 "$(dirname "${BASH_SOURCE[0]}")/xwd_region.py" <(xwd -root -silent) /dev/null 1230,380,1780,760)
  [ "$(cut -d' ' -f2 <<<"$region")" -gt 1000 ]
}
# edit_calculated [NAME=VALUE...]: "kolumo edit" ($kolumo) of $work/Stuetze.tqx as $app, in the environment given;
# its results tab clicked calculates, done once the preview shows the result diagram (slow under the sanitizers).
edit_calculated() {
  env "$@" KOLUMO_ROOT="$work/root" "$kolumo" edit "$work/Stuetze.tqx" >"$work/out" 2>"$work/err" &
  app=$!
  wait_for 20 find_window || fail "no window within 20 s"
  xdotool mousemove --window "$window" 444 41 click 1 || fail "xdotool cannot click"
  wait_for 90 diagram || fail "no result diagram in the preview after the results tab"
}

# example_screen [--xwd] [--registry | --document-editor] SIZE KOLUMO DATA [COMPARE ...]: the start of a test of the
# example position. Its arguments in kolumo, data and (where the test is given one) compare, the comparer; further
# ones are the test's own. With --xwd skipped (exit 77) where the server's pixels cannot be read. A virtual X server
# of SIZE, with --registry a registry of its own ($ORMI_REGISTRY), with --document-editor one with the document
# editor on the first tab; the example position of DATA; $work/pictures made for the steps' pictures.
example_screen() {
  local xwd="" registry=""
  while [[ ${1:-} == --* ]]; do
    case $1 in
    --xwd) xwd=1 ;;
    --registry | --document-editor) registry=$1 ;;
    *) fail "example_screen: no option $1" ;;
    esac
    shift
  done
  kolumo=$2
  data=$3
  if [ $# -ge 4 ]; then compare=$4; fi
  if [ -n "$xwd" ]; then need_xwd; fi
  start_xvfb "$1" || fail "no virtual X server would serve: $(cat "$work/xvfb.log")"
  if [ -n "$registry" ]; then export ORMI_REGISTRY="$work/registry.xml"; fi
  if [ "$registry" = --document-editor ]; then document_editor_registry; fi
  example_position "$data"
  mkdir -p "$work/pictures"
}
# edit_example [--xwd] [--document-editor] SIZE KOLUMO DATA [COMPARE ...]: example_screen with a registry of its own,
# and "kolumo edit" ($kolumo) of the example as $app, its window in $main; what the program drew last is kept in
# $work/picture.png.
find_main() { main=$(xdotool search --name '^kolumo - Stuetze\.tqx$' 2>/dev/null | head -n1) && [ -n "$main" ]; }
edit_example() {
  example_screen --registry "$@"
  edit_prepared_example
}
# edit_prepared_example: "kolumo edit" of the example that example_screen made, as edit_example.
edit_prepared_example() {
  KOLUMO_ROOT="$work/root" KOLUMO_SCREEN_PICTURE="$work/picture.png" "$kolumo" edit "$work/Stuetze.tqx" \
    >"$work/out" 2>"$work/err" &
  app=$!
  wait_for 20 find_main || fail "no window within 20 s"
}

# A message box of the program on the screen: titled with the program's name, in $box.
find_box() { box=$(xdotool search --name '^kolumo$' 2>/dev/null | tail -n1) && [ -n "$box" ]; }
# alive STEP: fails unless the program $app still runs.
alive() { kill -0 "$app" 2>/dev/null || fail "$1: the window closed"; }
# no_box STEP: fails where a box of the program is on the screen half a second later, or the program ended.
no_box() {
  sleep 0.5
  find_box && fail "$1: a box that should not be there: $(xdotool getwindowname "$box")"
  alive "$1"
}
# answer_box_with KEY: the box in $box answered by a key; true once it is gone. The release of the key finds no
# window when the press closed it: xdotool's complaint about that is no failure.
answer_box_with() {
  xdotool key --window "$box" "$1" 2>/dev/null
  wait_for 30 sh -c "! xdotool search --name '^kolumo\$' >/dev/null 2>&1"
}

# saved_by_ok X Y: a click on OK at X, Y of $window ends kolumo ($app) with status 0; saved is the document editor's
# text (RTF) that it saved in $work/Stuetze.tqx.
saved_by_ok() {
  local status
  xdotool mousemove --window "$window" "$1" "$2" click 1
  wait_for 60 sh -c "! kill -0 $app 2>/dev/null" || fail "kolumo did not end after OK"
  wait "$app"
  status=$?
  app=""
  [ $status -eq 0 ] || fail "kolumo edit ended with $status"
  saved=$(sed -n 's/.*<Skrib [^>]*rtfData="\([^"]*\)".*/\1/p' "$work/Stuetze.tqx" | head -n1 | base64 -d 2>/dev/null |
    tr -d '\0')
}

# window_geometry WINDOW: its place and size on the screen in x, y, w and h.
window_geometry() {
  local geometry
  geometry=$(xdotool getwindowgeometry "$1") || fail "no geometry of the window"
  read -r x y <<<"$(sed -n 's/.*Position: *\([0-9-]*\),\([0-9-]*\).*/\1 \2/p' <<<"$geometry")"
  read -r w h <<<"$(sed -n 's/.*Geometry: *\([0-9]*\)x\([0-9]*\).*/\1 \2/p' <<<"$geometry")"
  [ -n "$x" ] && [ -n "$w" ] || fail "cannot read the window's geometry: $geometry"
}

# window_region STEP X0 Y0 X1 Y1: that part of the window $main as the server shows it, as $work/pictures/STEP.png;
# prints its digest and its count of dark (text) pixels.
window_region() {
  local x y w h counts
  window_geometry "$main"
  counts=$(python3 "$xwd_region" <(xwd -root -silent) "$work/pictures/$1.png" \
    "$((x + $2)),$((y + $3)),$((x + $4)),$((y + $5))") || fail "$1: cannot read the screen"
  echo "$(md5sum <"$work/pictures/$1.png" | cut -d' ' -f1) ${counts%% *}"
}

# box_lines STEP: the box in $box as the server shows it, as $work/pictures/STEP.png; prints its count of lines of
# text (bands of dark ink right of its icon, above its buttons).
box_lines() {
  window_geometry "$box"
  python3 "$xwd_region" <(xwd -root -silent) "$work/pictures/$1.png" "$x,$y,$((x + w)),$((y + h))" >/dev/null
  python3 "$(dirname "${BASH_SOURCE[0]}")/xwd_box_lines.py" <(xwd -root -silent) "$x" "$y" "$w" "$h"
}

# window_on_screen WINDOW SIZE: fails unless the window lies wholly on the screen of SIZE (WIDTHxHEIGHT).
window_on_screen() {
  local x y w h
  window_geometry "$1"
  [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le "${2%x*}" ] && [ $((y + h)) -le "${2#*x}" ] ||
    fail "the window ${w}x${h}+${x}+${y} leaves the screen $2"
}

# agree STEP: the program's picture of step STEP held against the server's pixels by the comparer $compare (the
# program $app started with KOLUMO_SCREEN_PICTURE=$work/picture.png); both are kept in $work/pictures. The picture
# is taken once what was sent before the signal is handled and painted; a tip or a timer may still change the
# screen between the two, so a mismatch is looked at again twice (a screen left wrong stays wrong).
agree() {
  local attempt result
  mkdir -p "$work/pictures"
  for attempt in 1 2 3; do
    rm -f "$work/picture.png"
    kill -USR1 "$app"
    wait_for 10 test -s "$work/picture.png" || fail "$1: no picture"
    result=$("$compare" "$app" "$work/picture.png" "$work/pictures/$1-screen.png") && break
    [ $? -eq 1 ] || fail "$1: no comparison: $result"
    sleep 0.2
  done
  mv "$work/picture.png" "$work/pictures/$1.png"
  [ -z "$result" ] || fail "$1: the screen is not what was drawn: $result"
}

# ended_with_success: "kolumo edit" ($app) ends within a minute (after OK) with status 0.
ended_with_success() {
  wait_for 60 sh -c "! kill -0 $app 2>/dev/null" || fail "kolumo did not end after OK"
  wait "$app"
  local status=$?
  app=""
  [ $status -eq 0 ] || fail "kolumo edit ended with $status"
}

# saved_lengths WANTED: "kolumo edit" ($app) ends after OK with status 0, and $work/Stuetze.tqx holds the field
# lengths WANTED (as the file writes them, separated by blanks).
saved_lengths() {
  ended_with_success
  python3 - "$work/Stuetze.tqx" "$1" <<'PY' || fail "the saved column does not hold the lengths $1"
import re, sys
fields = re.findall(r'<field fieldNr="\d+" length="([^"]*)"', open(sys.argv[1], encoding='utf-8').read())
if fields != sys.argv[2].split():
    print('field lengths %s, not %s' % (fields, sys.argv[2]))
    sys.exit(1)
PY
}
