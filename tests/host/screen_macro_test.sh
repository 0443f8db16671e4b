#!/usr/bin/env bash
# The macro editor window and the value-import list on a virtual X server, driven by real X events: with the
# document editor on the first tab, a note typed, the macro dialog opened from its toolbar, the document's macros
# typed into the editor window, OK through every dialog; the saved position holds the typed macro text. Then the
# value-import dialog of the variables page opens on a calculated column beside it and shows it in its list.
# Pictures go to $KOLUMO_PICTURES when it is set (X-server screenshots with xwd, when there is one). Exit 77
# (skipped) without Xvfb or xdotool.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
example_screen --registry 1600x1000 "$@"
cd "$work" || fail "no scratch folder"
cp Stuetze.tqx Quelle.tqx
KOLUMO_ROOT="$work/root" "$kolumo" calc Quelle.tqx >"$work/calc.out" 2>&1 || fail "the source does not calculate"

shot() {
  [ -n "${KOLUMO_PICTURES:-}" ] && command -v xwd >/dev/null && xwd -root -silent >"$KOLUMO_PICTURES/$1.xwd"
  return 0
}
edit() {
  position=$1
  KOLUMO_ROOT="$work/root" "$kolumo" edit "$position.tqx" >"$work/out" 2>"$work/err" &
  app=$!
  find_main() { main=$(xdotool search --name "^kolumo - $position\\.tqx\$" 2>/dev/null | head -n1) && [ -n "$main" ]; }
  wait_for 20 find_main || fail "no window within 20 s"
}
find_named() {
  local name=$1
  found=""
  wait_for 60 sh -c "xdotool search --name '^$name\$' >/dev/null 2>&1" || return 1
  found=$(xdotool search --name "^$name\$" | head -n1)
}
finish() {
  xdotool mousemove --window "$main" 877 457 click 1  # OK
  wait_for 60 sh -c "! kill -0 $app 2>/dev/null" || fail "kolumo did not end after OK"
  wait "$app"
  local status=$?
  app=""
  [ $status -eq 0 ] || fail "kolumo edit ended with $status"
}

# The document editor instead of the variable table on the first tab.
document_editor_registry
edit Stuetze
# Window coordinates at the dialog font: the first tab, the text, the toolbar's "VB" button.
# Each step is given a moment: under the sanitizers the editor takes its focus late and the typing went elsewhere.
xdotool mousemove --window "$main" 57 42 click 1
sleep 1
xdotool mousemove --window "$main" 329 276 click 1
sleep 1
xdotool type --delay 15 "Notiz"
sleep 1
xdotool mousemove --window "$main" 509 100 click 1
find_named "Visual Basic Scripting" || fail "no macro dialog"
macros=$found
xdotool mousemove --window "$macros" 507 195 click 1  # "Bearbeiten" of the current document
find_named "Makro bearbeiten" || fail "no macro editor window"
editor=$found
xdotool type --window "$editor" --delay 15 "Function Drei()"
xdotool key --window "$editor" Return
xdotool type --window "$editor" --delay 15 "  Drei = 3"
xdotool key --window "$editor" Return
xdotool type --window "$editor" --delay 15 "End Function"
shot macro-editor
xdotool mousemove --window "$editor" 550 448 click 1  # OK
wait_for 30 sh -c "! xdotool search --name '^Makro bearbeiten\$' >/dev/null 2>&1" || fail "the editor stayed open"
xdotool mousemove --window "$macros" 428 303 click 1  # OK
wait_for 30 sh -c "! xdotool search --name '^Visual Basic Scripting\$' >/dev/null 2>&1" || fail "the macro dialog stayed open"
finish
saved=$(sed -n 's/.*VBScript="\([^"]*\)".*/\1/p' Stuetze.tqx | head -n1 | base64 -d 2>/dev/null)
[ "$saved" = "$(printf 'Function Drei()\n  Drei = 3\nEnd Function')" ] || fail "the saved macro text is \"$saved\""

# The variables page: a value-import row's "Auswahl" opens the value-import dialog over the project's positions.
rm -f "$ORMI_REGISTRY"
sed 's|\(<input [^>]*>\)|\1<vardef version="1.1" numOfEntries="1" bPageBreak="0"><entry idx="0" type="6" format="0" textHeight="0" digits="2" desc="" varName="" val="0" unit="" bExported="0" /></vardef>|' \
  "$data/examples/Stuetze.tqx" >Wert.tqx
grep -q 'type="6"' Wert.tqx || fail "no value-import row in the position"
edit Wert
xdotool mousemove --window "$main" 57 42 click 1
xdotool mousemove --window "$main" 953 95 click 1  # "Auswahl"
find_named "Wert.*bernahme" || fail "no value-import dialog"
import=$found
xdotool mousemove --window "$import" 207 84 click 1  # the first position's program column
sleep 0.5
shot import-dialog
xdotool key --window "$import" Escape
wait_for 30 sh -c "! xdotool search --name '^Wert.*bernahme\$' >/dev/null 2>&1" || fail "the value-import dialog stayed open"
finish
echo "passed"
