#!/usr/bin/env bash
# The load-transfer protocol and recalculation in the document editor on a virtual X server, driven by real X events
# and pictured from the X server with xwd. The example takes over two values of the position beside it, a load of
# 12.5 kN/m2 and a strain of 2 per mille whose description holds a Greek letter. With the protocol's commands switched
# on ("ltCmd"), "Einfügen" > "Übernahmeprotokoll" inserts the protocol, whose numbers show "#.##" until F5. Eight
# recalculations (F5, Shift+F5 and F5 again) show the protocol pixel for pixel as the first did, and OK saves the two
# values as two entries with their value, unit and description, and the protocol with 12.50 and 2.00. Exit 77
# (skipped) without Xvfb, xdotool, xwd or python3.
set -u
source "$(dirname "$0")/../support/xvfb.sh"
example_screen --xwd --registry 1920x1080 "$@"
pictures=$PWD # kept beside the test for a look
# The document editor on the first tab, the protocol written with its commands.
document_editor_registry ltCmd=1
# The source Quelle.tqx (the example exporting the two values) and the example taking them over.
python3 - "$work/Stuetze.tqx" "$work" <<'PY' || fail "cannot write the positions"
import re, sys
example = open(sys.argv[1], encoding="utf-8").read()
exports = ('<exports><folder desc="Lasten"><value desc="Flächenlast" varName="q" unit="kN/m2" val="12.5"/>'
           '<value desc="Dehnung ε" varName="eps" unit="‰" val="2"/></folder></exports>')
if "<exports />" not in example:
    sys.exit("the example has exports of its own")
open(sys.argv[2] + "/Quelle.tqx", "w", encoding="utf-8").write(example.replace("<exports />", exports))
entry = ('<entry idx="%d" type="6" format="0" textHeight="0" digits="2" varPath="Quelle\\Lasten\\%s" desc="%s" '
         'varName="%s" value="%s" unit="%s"/>')
vardef = ('<vardef version="1.1" numOfEntries="3" bPageBreak="0">'
          '<entry idx="0" type="1" format="0" textHeight="0" digits="2" title="Lastübernahmen"/>' +
          entry % (1, "Flächenlast", "Flächenlast", "Quelle_q", "12.5", "kN/m2") +
          entry % (2, "Dehnung ε", "Dehnung ε", "Quelle_eps", "2", "‰") + '</vardef>')
text, found = re.subn(r"(<input\b[^>]*>)", lambda m: m.group(1) + vardef, example, count=1)
open(sys.argv[1], "w", encoding="utf-8").write(text) if found else sys.exit("no input element")
PY

start_editor 300 250
mx=$x my=$y
# protocol NAME: the protocol's two rows as the server shows them ($pictures/screen_load_transfer_NAME.png), the caret
# kept out of them at the text's end; prints their count of dark pixels.
protocol() {
  xdotool key ctrl+End
  sleep 0.3
  xwd -root -silent >"$work/$1.xwd" || fail "no picture of the server"
  python3 "$xwd_region" "$work/$1.xwd" "$pictures/screen_load_transfer_$1.png" \
    "$((mx + 28)),$((my + 116)),$((mx + 700)),$((my + 149))" | cut -d' ' -f1
}
differ() {
  python3 "$(dirname "$0")/../support/png_pixels.py" differ "$pictures/screen_load_transfer_$1.png" \
    "$pictures/screen_load_transfer_$2.png"
}

# "Einfügen" (the first toolbar's "+"), "Übernahmeprotokoll" in the menu that opens at the pointer.
xdotool mousemove --window "$window" 527 74 click 1
sleep 1
xdotool mousemove $((mx + 600)) $((my + 147)) sleep 0.3 click 1
inserted() { [ "$(protocol inserted)" -gt 500 ]; }
wait_for 20 inserted || fail "no protocol in the document after \"Übernahmeprotokoll\""

# recalculate KEY N: the key recalculates; done once N more recalculations have ended (their progress is written to
# the program's output).
recalculations() { grep -c 'Berechne aktuelles Dokument\] 100%' "$work/out"; }
recalculate() {
  local before
  before=$(recalculations)
  xdotool key "$1"
  ended() { [ "$(recalculations)" -ge $((before + $2)) ]; }
  wait_for 30 ended "$1" "$2" || fail "$1 did not recalculate the document"
  sleep 0.5
}
recalculate F5 1
first=$(protocol first)
[ "$(differ inserted first)" -gt 0 ] || fail "F5 left the protocol's numbers as \"#.##\""
# Shift+F5 reads the text again and recalculates it: two recalculations.
for step in 2 3 4 5 6 7 8; do
  case $step in
    5 | 6) recalculate shift+F5 2 ;;
    *) recalculate F5 1 ;;
  esac
  shown=$(protocol "recalculated$step")
  n=$(differ first "recalculated$step")
  [ "$n" -eq 0 ] || fail "recalculation $step changed the protocol on the screen: $n pixels differ"
done

saved_by_ok 877 457
python3 - "$work/Stuetze.tqx" <<'PY' || fail "the saved position does not take the two values over once each"
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
taken = re.findall(r'<entry [^>]*type="6"[^>]*>', text)
wanted = [("Quelle\\Lasten\\Flächenlast", "Flächenlast", "Quelle_q", 12.5, "kN/m2"),
          ("Quelle\\Lasten\\Dehnung ε", "Dehnung ε", "Quelle_eps", 2.0, "‰")]
got = []
for e in taken:
    a = dict(re.findall(r'(\w+)="([^"]*)"', e))
    got.append((a.get("varPath"), a.get("desc"), a.get("varName"), float(a.get("value", "nan")), a.get("unit")))
if got != wanted:
    print("%d entries: %s" % (len(got), got))
    sys.exit(1)
PY
grep -qF '\qr 12.50\cell' <<<"$saved" && grep -qF '\qr 2.00\cell' <<<"$saved" ||
  fail "the saved protocol does not show 12.50 and 2.00: $saved"
echo "passed (the protocol's $first dark pixels the same after eight recalculations; two entries saved)"
