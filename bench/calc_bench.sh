#!/usr/bin/env bash
# Times "kolumo calc" on the shipped two-field example (target: under 1 s) and on a circular column with 30
# combinations made from it (target: under 5 s). Uses hyperfine when it is installed, else `time`.
# Argument: the build folder (default build/default; an optimised build is what the targets mean).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
host="$PWD/$build/bin/kolumo"
example="$PWD/data/examples/Stuetze.tqx"
[ -x "$host" ] || { echo "calc_bench: $host is not built" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/root"
mkdir -p "$root"
for entry in "$PWD"/data/*; do ln -s "$entry" "$root/$(basename "$entry")"; done
export KOLUMO_ROOT="$root"

cp "$example" "$work/rect.tqx"
# The circular column: both fields round (kind 1, diameter = the width), 30 fundamental combinations in the final
# system, each the example's first one with the variable actions scaled in steps.
python3 - "$example" "$work/circ.tqx" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
text = re.sub(r'(<quer [^>]*?)type="\d+"', r'\1type="1"', text)
def thirty(block):
    first = re.search(r'<result art="Ed" regel="([^"]*)"[^>]*/>', block)
    if not first:
        return block
    terms = first.group(1).split("+")
    rows = []
    for i in range(30):
        f = 0.5 + i / 29.0
        scaled = [terms[0]] + ["%.2f*%s" % (float(t.split("*")[0]) * f, t.split("*")[1]) for t in terms[1:]]
        rule = "+".join(scaled)
        rows.append('<result art="Ed" regel="%s" regelUser="%s" />' % (rule, rule))
    block = re.sub(r'<result art="Ed" [^>]*/>\s*', "", block)
    return block.replace("<results>", "<results>" + "".join(rows), 1)
# the final system's combinations are the first "results" list of the stages
parts = text.split('bzNr="0"', 1)
if len(parts) == 2:
    head, tail = parts
    end = tail.find("</results>")
    tail = thirty(tail[:end]) + tail[end:]
    text = head + 'bzNr="0"' + tail
open(sys.argv[2], "w", encoding="utf-8").write(text)
PY

run() {  # name file
  local name=$1 file=$2
  if command -v hyperfine > /dev/null; then
    hyperfine --warmup 1 --runs 5 --prepare "cp $work/$file.orig $work/$file" "$host calc $work/$file" \
      --export-markdown "$work/bench.md" > /dev/null && { echo "== $name"; cat "$work/bench.md"; } ||
      echo "== $name: calc failed (hyperfine stopped)"
  else
    cp "$work/$file.orig" "$work/$file"
    echo "== $name"
    local status=0
    { time "$host" calc "$work/$file" > "$work/$name.log" 2>&1; } 2>&1 || status=$?
    [ "$status" -eq 0 ] || { echo "calc failed (exit $status):"; tail -n 3 "$work/$name.log"; }
  fi
}
cp "$work/rect.tqx" "$work/rect.tqx.orig"
cp "$work/circ.tqx" "$work/circ.tqx.orig"
run "two-field rectangular example (target < 1 s)" rect.tqx
run "circular column, 30 combinations (target < 5 s)" circ.tqx
