#!/usr/bin/env bash
# The peak memory of "kolumo calc" for the example with a document whose macros are large: a user's macro file at
# its limit of 16 MiB, the position's own macro text at that limit, and a position's macro text of 20 MB, beyond it.
# The macros are one function never called, of lines " x = x + 1", which compile to a tree of some hundred bytes a
# byte. Printed per run: the peak resident size of the process, its exit status and the macros' message.
# Arguments: build folders (default build/default), each measured in turn (the version before a change beside it).
set -euo pipefail
cd "$(dirname "$0")/.."
unset DISPLAY
[ $# -gt 0 ] || set -- build/default
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ORMI_REGISTRY="$work/registry" XDG_CONFIG_HOME="$work/config"
# A function never called, of the given bytes, with Windows line ends as the editor saves them.
macro_text() {
  python3 - "$1" "$2" <<'PY'
import sys
size, out = int(sys.argv[1]), sys.argv[2]
head, line, tail = b"Function Never()\r\n", b" x = x + 1\r\n", b"End Function\r\n"
lines = (size - len(head) - len(tail)) // len(line)
text = head + line * lines + tail
open(out, "wb").write(text + b"'" * (size - len(text)))
PY
}
# The example with a document of one formula line and the given macro text (a file of it, or none).
position() {
  python3 - "$1" "$2" <<'PY'
import base64, re, sys
macro_file, out = sys.argv[1], sys.argv[2]
macros = open(macro_file, "rb").read() if macro_file != "-" else b""
rtf = b"{\\rtf1{\\colortbl ;\\red7\\green13\\blue255;}\\cf1 x1 = 1 = 0\\par\r\n}"
part = '<Skrib iPage="1" rtfData="%s" VBScript="%s" sLibModul="" isEmpty="0"/>' % (
    base64.b64encode(rtf).decode(), base64.b64encode(macros).decode())
text = open("data/examples/Stuetze.tqx", encoding="utf-8").read()
text = re.sub(r"(<input\b[^>]*>)", lambda m: m.group(1) + part, text, count=1)
open(out, "w", encoding="utf-8").write(text)
PY
}
# The peak resident size in KiB of the command's process, its exit status and its time in seconds; its standard
# error goes to $work/err.
peak_kib() {
  python3 -c '
import resource, subprocess, sys, time
start = time.monotonic()
with open(sys.argv[1], "w") as err:
    status = subprocess.run(sys.argv[2:], stdout=subprocess.DEVNULL, stderr=err).returncode
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss, status, "%.1f" % (time.monotonic() - start))' \
    "$work/err" "$@"
}
limit=$((16 << 20))
macro_text "$limit" "$work/at_limit.bas"
macro_text $((20 * 1000 * 1000)) "$work/beyond.bas"
position - "$work/plain.tqx"
position "$work/at_limit.bas" "$work/own_at_limit.tqx"
position "$work/beyond.bas" "$work/own_beyond.tqx"
for build in "$@"; do
  host="$(cd "$build" && pwd)/bin/kolumo"
  [ -x "$host" ] || { echo "macro_memory_bench: $build/bin/kolumo is not built" >&2; exit 1; }
  echo "$build"
  # the installation root of the build with the user's macro file beside its entries, for the run that has it
  for case in file own_at_limit own_beyond; do
    root="$work/root_$case"
    rm -rf "$root"
    mkdir -p "$root"
    for entry in "$build"/root/*; do ln -s "$(cd "$(dirname "$entry")" && pwd)/$(basename "$entry")" "$root/"; done
    if [ "$case" = file ]; then
      cp "$work/at_limit.bas" "$root/VBScriptUSER.bas"
      cp "$work/plain.tqx" "$work/run.tqx"
    else
      cp "$work/$case.tqx" "$work/run.tqx"
    fi
    read -r kib status seconds <<<"$(KOLUMO_ROOT="$root" peak_kib "$host" calc "$work/run.tqx")"
    said=$(grep -o -m1 -E "Abbruch: [^[]{0,100}|Makro(text|datei) zu gro[^[]{0,60}" "$work/err" || true)
    awk -v c="$case" -v kib="$kib" -v s="$seconds" -v st="$status" -v said="$said" \
      'BEGIN { printf "  %-13s peak %7.1f MB, %5.1f s, status %s%s\n", c, kib / 1024, s, st, said == "" ? "" : ": " said }'
  done
done
