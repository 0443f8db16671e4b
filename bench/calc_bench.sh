#!/usr/bin/env bash
# Times "kolumo calc" on the shipped two-field example (target: under 50 ms) and on a circular column with 30
# combinations made from it (target: under 0.25 s), then "kolumo report" of both calculated positions, optionally
# side by side with another build (the version before a change) in the same run, the two alternating so that both
# see the same load of the machine.
# Arguments: the build folder (default build/default; an optimised build is what the targets mean), then
# optionally the build folder of the version to compare with. KOLUMO_BENCH_RUNS sets the runs per case (7).
# Each line gives the fastest and the median wall time of the runs, and the CPU time of the fastest.
set -euo pipefail
cd "$(dirname "$0")/.."
# Timed without windows: on a display a calculation would show its progress and could wait for a person.
unset DISPLAY
build="${1:-build/default}"
vorher="${2:-}"
runs="${KOLUMO_BENCH_RUNS:-7}"
[ -d "$build" ] || { echo "calc_bench: no build folder $build" >&2; exit 1; }
host="$(cd "$build" && pwd)/bin/kolumo"
example="$PWD/data/examples/Stuetze.tqx"
[ -x "$host" ] || { echo "calc_bench: $build/bin/kolumo is not built" >&2; exit 1; }
hosts=("$host")
namen=("this")
if [ -n "$vorher" ]; then
  [ -d "$vorher" ] || { echo "calc_bench: no build folder $vorher" >&2; exit 1; }
  alt="$(cd "$vorher" && pwd)/bin/kolumo"
  [ -x "$alt" ] || { echo "calc_bench: $vorher/bin/kolumo is not built" >&2; exit 1; }
  hosts+=("$alt")
  namen+=("before")
fi
case "$runs" in '' | *[!0-9]* | 0) echo "calc_bench: KOLUMO_BENCH_RUNS must be a positive number" >&2; exit 1 ;; esac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/root"
mkdir -p "$root"
for entry in "$PWD"/data/*; do ln -s "$entry" "$root/$(basename "$entry")"; done
export KOLUMO_ROOT="$root"

cp "$example" "$work/rect.tqx"
# The circular column with 30 combinations, as the in-process benchmark makes it too.
python3 bench/circle_column.py "$example" "$work/circ.tqx"

# one timed command on a fresh copy (calc: of the position as shipped; report: of the calculated one):
# prints "wall_ms cpu_ms"
einmal() {  # host command file
  local h=$1 command=$2 file=$3
  if [ "$command" = calc ]; then cp "$work/$file.orig" "$work/$file"; else cp "$work/$file.calc" "$work/$file"; fi
  local t0 t1 status=0
  t0=$(date +%s%N)
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -f "%U %S" -o "$work/cpu" "$h" "$command" "$work/$file" > "$work/log" 2>&1 || status=$?
  else
    echo "0 0" > "$work/cpu"  # no CPU time without the time program
    "$h" "$command" "$work/$file" > "$work/log" 2>&1 || status=$?
  fi
  t1=$(date +%s%N)
  if [ "$status" -ne 0 ]; then
    echo "$command failed (exit $status) with $h:" >&2
    tail -n 3 "$work/log" >&2
    return 1
  fi
  awk -v w=$(((t1 - t0) / 1000)) '{printf "%.1f %.1f\n", w / 1000.0, ($1 + $2) * 1000.0}' "$work/cpu"
}

run() {  # name command file
  local name=$1 command=$2 file=$3
  echo "== $name"
  local k i
  for i in "${!hosts[@]}"; do : > "$work/times.$i"; einmal "${hosts[$i]}" "$command" "$file" > /dev/null; done  # warm-up
  for ((k = 0; k < runs; k++)); do
    for i in "${!hosts[@]}"; do einmal "${hosts[$i]}" "$command" "$file" >> "$work/times.$i"; done
  done
  local best=()
  for i in "${!hosts[@]}"; do
    read -r min med cpu < <(sort -n "$work/times.$i" |
      awk '{w[NR] = $1; c[NR] = $2} END {printf "%s %s %s\n", w[1], w[int((NR + 1) / 2)], c[1]}')
    best+=("$min")
    printf "  %-7s fastest %8.1f ms   median %8.1f ms   cpu %8.1f ms\n" "${namen[$i]}" "$min" "$med" "$cpu"
  done
  if [ "${#best[@]}" -eq 2 ]; then
    awk -v a="${best[0]}" -v b="${best[1]}" 'BEGIN {if (a > 0) printf "  before / this (fastest): %.2f\n", b / a}'
  fi
}
cp "$work/rect.tqx" "$work/rect.tqx.orig"
cp "$work/circ.tqx" "$work/circ.tqx.orig"
run "calc: two-field rectangular example (target < 50 ms)" calc rect.tqx
run "calc: circular column, 30 combinations (target < 0.25 s)" calc circ.tqx
# The report of each position as this build calculates it: both builds write the report of the same results.
for file in rect.tqx circ.tqx; do
  cp "$work/$file.orig" "$work/$file"
  "$host" calc "$work/$file" > "$work/log" 2>&1 || { echo "calc failed with $host:" >&2; tail -n 3 "$work/log" >&2; exit 1; }
  cp "$work/$file" "$work/$file.calc"
done
run "report: two-field rectangular example" report rect.tqx
run "report: circular column, 30 combinations" report circ.tqx
