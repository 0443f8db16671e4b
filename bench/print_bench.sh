#!/usr/bin/env bash
# Prints the example's report into a PDF as "drucken" does and gives the time per page and the PDF's size: the
# example calculated and its report written with "kolumo", then bin/print_bench over that RTF.
# Argument: the build folder (default build/default).
set -euo pipefail
cd "$(dirname "$0")/.."
unset DISPLAY
build="${1:-build/default}"
for program in kolumo print_bench; do
  [ -x "$build/bin/$program" ] || { echo "print_bench: $build/bin/$program is not built" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp data/examples/Stuetze.tqx "$work/Stuetze.tqx"
"$build/bin/kolumo" calc "$work/Stuetze.tqx" > "$work/log" 2>&1
"$build/bin/kolumo" report "$work/Stuetze.tqx" >> "$work/log" 2>&1
rtf=$(ls "$work"/*.rtf | head -1)
KOLUMO_PRINT_RTF="$rtf" "$build/bin/print_bench" --benchmark_repetitions="${KOLUMO_BENCH_RUNS:-3}" \
  --benchmark_report_aggregates_only=true
