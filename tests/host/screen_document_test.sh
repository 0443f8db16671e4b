#!/usr/bin/env bash
# The position's document at the top of the report, on a virtual X server driven by real X events: with the
# document part switched on ("bSkrib") and a document one closing brace short, the results tab calculates, "Vorschau
# Ausgabe" shows the report with the document's green line above the report's own first heading (pictured from
# the X server with xwd), and "drucken" prints a PDF whose text holds the document's lines before the report's
# headings. The pictures go to $KOLUMO_PICTURES when it is set. Exit 77 (skipped) without Xvfb, xdotool, xwd or
# python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
example_screen --xwd --document-editor 1920x1080 "$@"
# The document: a green line of 14 points, then a line with a bold word whose group was left open.
python3 - "$work/Stuetze.tqx" <<'PY' || fail "cannot write the position's document"
import base64, re, sys
rtf = ("{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl ;\\red0\\green160\\blue0;}"
       "\\pard\\cf1\\fs28 Dokumenttext 4711\\par\\cf0\\fs20 Text {\\b fett\\par}")
part = '<Skrib iPage="1" rtfData="%s" isEmpty="0"/>' % base64.b64encode(rtf.encode()).decode()
text = open(sys.argv[1], encoding="utf-8").read()
text, found = re.subn(r"(<input\b[^>]*>)", lambda m: m.group(1) + part, text, count=1)
open(sys.argv[1], "w", encoding="utf-8").write(text) if found else sys.exit("no input element")
PY

# The results tab calculates.
edit_calculated

# "Vorschau Ausgabe": the box's first lines are the document's green line (about 460 pixels of its green at
# 14 points); before the document was read the report's black heading stood there and no green at all.
xdotool mousemove --window "$window" 1141 46 click 1
shot() {
  xwd -root -silent >"$work/screen.xwd" || return 1
  read -r dark _ _ _ _ green < <(python3 "$xwd_region" "$work/screen.xwd" "$work/pictures/output-tab-top.png" \
    1180,360,1780,420 0,160,0) && [ "$dark" -gt 150 ] && [ "$green" -gt 200 ]
}
wait_for 60 shot || fail "no green document line at the top of the output tab ($dark dark pixels, $green green)"
echo "the output tab's first lines: $dark dark pixels, $green of the document's green"
python3 "$xwd_region" "$work/screen.xwd" "$work/pictures/output-tab.png" 1100,0,1920,800 >/dev/null
[ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/*.png "$KOLUMO_PICTURES/"

# "drucken": without a printer the report goes into a PDF beside it; its text begins with the document.
if ! command -v lp >/dev/null && command -v pdftotext >/dev/null; then
  xdotool mousemove --window "$window" 1555 40 sleep 0.3 mousemove --window "$window" 1560 39 sleep 0.3 click 1
  wait_for 90 find_box || fail "drucken showed no message"
  answer_box_with Return || fail "the message stayed after Enter"
  [ -s "$work/Stuetze.pdf" ] || fail "drucken wrote no PDF beside the report"
  pdftotext "$work/Stuetze.pdf" "$work/Stuetze.txt" || fail "the printed PDF cannot be read"
  grep -c "Dokumenttext 4711" "$work/Stuetze.txt" >"$work/count"
  [ "$(cat "$work/count")" -eq 1 ] || fail "the printed PDF holds \"Dokumenttext 4711\" $(cat "$work/count") times"
  document=$(grep -n "Dokumenttext 4711" "$work/Stuetze.txt" | cut -d: -f1)
  heading=$(grep -n "Eingabedaten Ortbetonstütze" "$work/Stuetze.txt" | head -n1 | cut -d: -f1)
  [ -n "$heading" ] && [ "$document" -lt "$heading" ] || fail "the document does not stand before the report's heading"
  grep -q "Text fett" "$work/Stuetze.txt" || fail "the printed PDF lacks the document's bold word"
  if command -v pdftoppm >/dev/null; then
    pdftoppm -r 60 -f 1 -l 1 -png "$work/Stuetze.pdf" "$work/pictures/printed"
    [ -n "${KOLUMO_PICTURES:-}" ] && cp "$work"/pictures/printed*.png "$KOLUMO_PICTURES/"
  fi
fi
kill "$app"
wait "$app" 2>/dev/null
app=""
echo "passed"
