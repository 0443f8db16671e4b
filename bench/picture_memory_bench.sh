#!/usr/bin/env bash
# The peak memory of "kolumo report" for the example with one picture in its variable table ("Vortexttabelle"), at
# several sizes of the picture's file: the peak resident size of the process, and how many copies of the picture
# that is above the run without a picture (peak less the run without, over the picture's size). A picture above the
# largest size a report takes is left out and named in the box; its copies are those of reading the position.
# Arguments: build folders (default build/default), each measured in turn (the version before a change beside it).
# KOLUMO_BENCH_SIZES gives the sizes in MB (default "0 4 15 60").
set -euo pipefail
cd "$(dirname "$0")/.."
unset DISPLAY
[ $# -gt 0 ] || set -- build/default
sizes="${KOLUMO_BENCH_SIZES:-0 4 15 60}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The example with a PNG of the size given (header of 4000 x 3000 pixels, then random bytes) as its one entry.
make_position() {
  python3 - "$1" "$2" <<'PY'
import base64, os, struct, sys, zlib
size, out = float(sys.argv[1]), sys.argv[2]
def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', 4000, 3000, 8, 2, 0, 0, 0))
png += chunk(b'IDAT', os.urandom(int(size * 1024 * 1024))) + chunk(b'IEND', b'')
text = open('data/examples/Stuetze.tqx', encoding='utf-8').read()
entry = ('\t\t<vardef version="1.1" numOfEntries="1" bPageBreak="0">\n\t\t\t<entry idx="0" type="4" format="0" '
         'textHeight="0" digits="2" fileBuffer="%s" fileName="foto.png" dWidth="10" dHeight="0" />\n\t\t</vardef>\n'
         % base64.b64encode(png).decode())
at = text.index('>\n', text.index('\t<input ')) + 2
open(out, 'w', encoding='utf-8').write(text[:at] + entry + text[at:])
PY
}
# The peak resident size in KiB of the command's process, and its exit status.
peak_kib() {
  python3 -c '
import resource, subprocess, sys
status = subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss, status)' "$@"
}
for size in $sizes; do
  mkdir -p "$work/$size"
  make_position "$size" "$work/$size/Stuetze.tqx"
done
for build in "$@"; do
  host="$(cd "$build" && pwd)/bin/kolumo"
  [ -x "$host" ] || { echo "picture_memory_bench: $build/bin/kolumo is not built" >&2; exit 1; }
  echo "$build"
  base=""
  for size in $sizes; do
    rm -f "$work/$size"/*.rtf
    read -r kib status <<<"$(peak_kib "$host" report "$work/$size/Stuetze.tqx")"
    [ -n "$base" ] || base=$kib
    taken=no
    grep -q 'pngblip\\picw4000' "$work/$size"/*.rtf 2>/dev/null && taken=yes
    awk -v size="$size" -v kib="$kib" -v base="$base" -v taken="$taken" -v status="$status" 'BEGIN {
      if (size == 0) printf "  no picture: peak %6.1f MB (status %s)\n", kib / 1024, status
      else printf "  picture of %3s MB: peak %6.1f MB, %5.1f copies of the picture, in the report: %s (status %s)\n",
        size, kib / 1024, (kib - base) / 1024 / size, taken, status }'
  done
done
