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
KOLUMO_ROOT="$PWD/data" "$host" calc "$out/Stuetze.tqx"
KOLUMO_ROOT="$PWD/data" "$host" report "$out/Stuetze.tqx"
echo "Results: $out/Stuetze.tqx"
echo "Report:  $out/Stuetze.rtf"
