#!/usr/bin/env bash
# The main job: calculate the shipped example column and write its report. Argument: the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
host="$build/bin/kolumo"
example="data/examples/Stuetze.tqx"
if [ ! -x "$host" ] || [ ! -f "$example" ]; then
  echo "The libraries are built; the host program and the example position are not built yet,"
  echo "so there is no column to calculate."
  exit 0
fi
out="$build/example"
mkdir -p "$out"
cp "$example" "$out/"

# The installation root lies in the build folder (its start-up log is written there) and links to data/.
root="$PWD/$build/root"
mkdir -p "$root"
for entry in "$PWD"/data/*; do ln -sfn "$entry" "$root/$(basename "$entry")"; done

# Runs one host command; a module that says it cannot do the job yet ends the main job without failing it.
step() {
  local log status=0
  log=$(KOLUMO_ROOT="$root" "$host" "$@" "$out/Stuetze.tqx" 2>&1) || status=$?
  [ -z "$log" ] || echo "$log"
  if [ "$status" -ne 0 ]; then
    if grep -q -e "cannot calculate yet" -e "cannot write reports yet" <<<"$log"; then
      echo "The host program and the example position exist; the module cannot do \"$1\" yet, so the main job"
      echo "ends here."
      exit 0
    fi
    exit "$status"
  fi
}
step calc
step report
echo "Results: $out/Stuetze.tqx"
echo "Report:  $out/Stuetze.rtf"
