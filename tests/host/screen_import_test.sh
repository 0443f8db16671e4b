#!/usr/bin/env bash
# The document import on a virtual X server, driven by real X events: with the document editor on the first tab, its
# insert button's "Dokument" > "Aktuelles Projekt" opens the file dialog grown by its preview; picking a position
# shows its document text there (the preview's pixels read from the X server with xwd), picking one without a text
# empties it, and "Importieren" brings the text into the editor, which OK saves into the position. Exit 77 (skipped)
# without Xvfb, xdotool or xwd.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
example_screen --xwd --registry 1600x1000 "$@"
pictures=$PWD  # kept beside the test for a look
cd "$work" || fail "no scratch folder"
# The source: the example with a document text in large letters.
rtf=$(printf '{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs40 Vorschau der Quelle\\par Bewehrung As = 12,5 cm2\\par}\0' |
  base64 -w0)
sed "s|\(<input [^>]*>\)|\1<Skrib rtfData=\"$rtf\" />|" Stuetze.tqx >Quelle.tqx
grep -q '<Skrib rtfData' Quelle.tqx || fail "no document text in the source"
document_editor_registry

KOLUMO_ROOT="$work/root" "$kolumo" edit Stuetze.tqx >"$work/out" 2>"$work/err" &
app=$!
wait_for 20 find_main || fail "no window within 20 s"
window_geometry "$main"
mx=$x my=$y
# Window coordinates at the dialog font: the first tab, the text, the insert button ("+") of the first toolbar; the
# menu opens at the pointer, its "Dokument" item and that submenu's "Aktuelles Projekt" in screen coordinates.
xdotool mousemove --window "$main" 57 42 click 1
sleep 1
xdotool mousemove --window "$main" 300 200 click 1
sleep 0.5
xdotool mousemove --window "$main" 527 74 click 1
sleep 1
xdotool mousemove $((mx + 580)) $((my + 127)) sleep 0.3 click 1
sleep 1
xdotool mousemove $((mx + 760)) $((my + 129)) sleep 0.3 click 1
find_dialog() { dialog=$(xdotool search --name '^[^ ]*ffnen$' 2>/dev/null | head -n1) && [ -n "$dialog" ]; }
wait_for 30 find_dialog || fail "no file dialog after Dokument > Aktuelles Projekt"
window_on_screen "$dialog" 1600x1000
window_geometry "$dialog"
dx=$x dy=$y
[ "$h" -gt 700 ] || fail "the file dialog (${w}x${h}) did not grow by its preview"

# The preview below the file choice, inside its border and scroll bars; the files list's lines.
preview="$((dx + 15)),$((dy + 360)),$((dx + 565)),$((dy + 820))"
dark_in_preview() { python3 "$xwd_region" <(xwd -root -silent) "$1" "$preview" | cut -d' ' -f1; }
pick() {
  xdotool mousemove --window "$dialog" 46 "$1" click 1
  sleep 0.5
}
[ "$(dark_in_preview /dev/null)" -lt 50 ] || fail "the preview shows something before a file is picked"
pick 89 # Quelle.tqx
shows_text() { [ "$(dark_in_preview "$pictures/screen_import_preview.png")" -gt 1000 ]; }
wait_for 20 shows_text || fail "the preview does not show the picked position's text"
python3 "$xwd_region" <(xwd -root -silent) "$pictures/screen_import_dialog.png" "$dx,$dy,$((dx + w)),$((dy + h))" >/dev/null
pick 103 # Stuetze.tqx, which has no document text
empty() { [ "$(dark_in_preview /dev/null)" -lt 50 ]; }
wait_for 20 empty || fail "the preview keeps the former text for a position without one"
pick 89
wait_for 20 shows_text || fail "the preview does not show the text again"

# "Importieren" (where OK stands): the dialog ends and the editor holds the text; OK saves it.
xdotool mousemove --window "$dialog" 540 292 click 1
wait_for 30 sh -c "! xdotool search --name '^[^ ]*ffnen\$' >/dev/null 2>&1" || fail "the file dialog stayed open"
sleep 1
xdotool mousemove --window "$main" 877 457 click 1
wait_for 60 sh -c "! kill -0 $app 2>/dev/null" || fail "kolumo did not end after OK"
wait "$app"
status=$?
app=""
[ $status -eq 0 ] || fail "kolumo edit ended with $status"
saved=$(sed -n 's/.*<Skrib [^>]*rtfData="\([^"]*\)".*/\1/p' Stuetze.tqx | head -n1 | base64 -d 2>/dev/null | tr -d '\0')
grep -q "Vorschau der Quelle" <<<"$saved" || fail "the imported text is not in the saved position: $saved"
grep -q "Bewehrung As = 12,5 cm2" <<<"$saved" || fail "the import lacks the second line: $saved"
echo "passed"
