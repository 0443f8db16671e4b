#!/usr/bin/env bash
# One budget of macro time per action of the person in "kolumo edit" on a virtual X server, driven by X events:
# a position whose document macros are slow (each event 9 s; or 200 formulas of 1.45 s each) opens after at most one
# budget of 10 s with at most one message that it ran out, and so does each page change, the results tab's
# calculation and OK. The script host's clock is moved by the statements run (KOLUMO_SCRIPT_SECONDS_PER_STEP), so
# that a macro's cost is set by its loop and the test waits for no budget in real time. Exit 77 (skipped) without
# Xvfb, xdotool or python3.
set -u
command -v python3 >/dev/null || { echo "python3 missing: skipped"; exit 77; }
source "$(dirname "$0")/../support/xvfb.sh"
example_screen --registry 1600x1000 "$@"
export KOLUMO_SCRIPT_SECONDS_PER_STEP=0.001
cd "$work" || fail "no scratch folder"

# The document part on the first tab ("bSkrib").
document_editor_registry

# slow_position NAME FORMULAS EVENT_STEPS FORMULA_STEPS: the example with a document of FORMULAS formulas, each
# calling a macro of FORMULA_STEPS statements, and the four document events each running EVENT_STEPS statements.
slow_position() {
  python3 - "$work/Stuetze.tqx" "$work/$1.tqx" "$2" "$3" "$4" <<'PY' || fail "cannot write the position $1"
import base64, re, sys
source, target, formulas, event_steps, formula_steps = sys.argv[1], sys.argv[2], *map(int, sys.argv[3:])
macros = ("Function Slow(x)\r\n For i = 1 To %d: y = i: Next\r\n Slow = x\r\nEnd Function\r\n"
          "Sub Busy()\r\n For i = 1 To %d: y = i: Next\r\nEnd Sub\r\n" % (formula_steps, event_steps))
for event in ("OnInitDocument", "OnStartCalculation", "OnEndCalculation", "OnExitDocument"):
    macros += "Sub %s(name, folder)\r\n Busy\r\nEnd Sub\r\n" % event
body = "".join("\\cf1 x%d = @Slow(%d) = 0\\par\r\n" % (k, k) for k in range(1, formulas + 1))
rtf = "{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}" + body + "}"
encoded = lambda text: base64.b64encode(text.encode()).decode()
part = '<Skrib iPage="1" rtfData="%s" VBScript="%s" sLibModul="" isEmpty="0"/>' % (encoded(rtf), encoded(macros))
text = open(source, encoding="utf-8").read()
text, found = re.subn(r"(<input\b[^>]*>)", lambda m: m.group(1) + part, text, count=1)
if not found:
    sys.exit("no input element")
open(target, "w", encoding="utf-8").write(text)
PY
}

main=""
find_main() { main=$(xdotool search --name "^kolumo - $position\\.tqx\$" 2>/dev/null | head -n1) && [ -n "$main" ]; }
# boxes_while COMMAND...: the number of the program's message boxes answered (with Enter) until COMMAND holds and
# then for another second (a box of the same action comes at once); 60 s at most.
boxes_while() {
  local count=0 quiet_since=""
  local deadline=$((SECONDS + 60))
  while [ $SECONDS -lt $deadline ]; do
    if find_box; then
      count=$((count + 1))
      # the box answered is gone (another may follow it at once)
      xdotool key --window "$box" Return 2>/dev/null
      wait_for 30 sh -c "! xdotool getwindowname $box >/dev/null 2>&1" || fail "a box was not answered"
      quiet_since=""
      continue
    fi
    if "$@"; then
      [ -n "$quiet_since" ] || quiet_since=$(date +%s.%N)
      python3 -c "import sys, time; sys.exit(time.time() - $quiet_since < 1.0)" && break
    fi
    sleep 0.05
  done
  echo "$count"
}
ended() { ! kill -0 "$app" 2>/dev/null; }
true_after_click() { true; }

# at_most_one_box WHAT X Y: a click at (X, Y) of the window is one action: at most one box.
at_most_one_box() {
  click "$2" "$3"
  local count
  count=$(boxes_while true_after_click) || fail "$count"
  [ "$count" -le 1 ] || fail "$1: $count messages of a spent budget for one action"
  echo "$1: $count"
}

# open_with_one_box: "kolumo edit" of $position opens its window after one message of a spent budget.
open_with_one_box() {
  KOLUMO_ROOT="$work/root" "$kolumo" edit "$position.tqx" >"$work/out" 2>"$work/err" &
  app=$!
  local count
  count=$(boxes_while find_main) || fail "$count"
  find_main || fail "$position: no window within 60 s"
  [ "$count" -eq 1 ] || fail "$position: $count messages of a spent budget while opening (one action: one)"
}
# ok_with_at_most BOXES: OK saves the position and ends the program, showing at most BOXES messages.
ok_with_at_most() {
  click 877 457
  local count status
  count=$(boxes_while ended) || fail "$count"
  ended || fail "$position: kolumo did not end after OK"
  wait "$app"
  status=$?
  app=""
  [ $status -eq 0 ] || fail "$position: kolumo edit ended with $status: $(cat "$work/err")"
  [ "$count" -le "$1" ] || fail "$position: OK showed $count messages"
}

# Each event 9 s: opening reads the document (OnInitDocument) and shows it (its calculation: OnStartCalculation,
# OnEndCalculation) and writes it once to know what was opened (OnExitDocument); 36 s of macros in one action.
position=Ereignisse
slow_position "$position" 0 9000 0
open_with_one_box
# The tabs on y 42 (window coordinates at the dialog font): control values, the document part, the results
# (a calculation).
at_most_one_box "control values tab" 143 42
at_most_one_box "document tab" 57 42
at_most_one_box "results tab" 437 42
at_most_one_box "document tab again" 57 42
# OK writes the position (OnExitDocument, 9 s: within its budget) and ends the program.
ok_with_at_most 0
grep -q '<Skrib' "$position.tqx" || fail "$position: the saved position lost its document"

# 200 formulas of 1.45 s: opening stops the formulas after 10 s, once, and the window comes.
position=Formeln
slow_position "$position" 200 0 1450
open_with_one_box
at_most_one_box "results tab" 437 42
ok_with_at_most 1
echo "one budget per action: every action within one budget and one message at most"
