#!/usr/bin/env bash
# Times "kolumo calc" on the shipped two-field example (target: under 50 ms) and on a circular column with 30
# combinations made from it (target: under 0.25 s), then "kolumo report" of both calculated positions, optionally
# side by side with another build (the version before a change) in the same run, the two alternating so that both
# see the same load of the machine.
# Arguments: the build folder (default build/default; an optimised build is what the targets mean), then
# optionally the build folder of the version to compare with. KOLUMO_BENCH_RUNS sets the runs per case (7);
# KOLUMO_BENCH_CASES picks cases among "calc-rect calc-circ report-rect report-circ" (all of them).
# Each line gives the fastest and the median wall time of the runs and their median CPU time (user and system, in
# ms as the shell's own timing gives it); side by side, the wall ratio of the fastest runs and the CPU ratio of the
# medians follow (this build's over the other's: below 1 this build is the faster).
set -euo pipefail
cd "$(dirname "$0")/.."
# Timed without windows: on a display a calculation would show its progress and could wait for a person.
unset DISPLAY
build="${1:-build/default}"
vorher="${2:-}"
runs="${KOLUMO_BENCH_RUNS:-7}"
cases="${KOLUMO_BENCH_CASES:-calc-rect calc-circ report-rect report-circ}"
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
for c in $cases; do
  case "$c" in calc-rect | calc-circ | report-rect | report-circ) ;;
    *) echo "calc_bench: no case $c (calc-rect calc-circ report-rect report-circ)" >&2; exit 1 ;;
  esac
done

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
  local t0 t1 status=0 TIMEFORMAT='%3U %3S'
  t0=$(date +%s%N)
  { time "$h" "$command" "$work/$file" > "$work/log" 2>&1 || status=$?; } 2> "$work/cpu"
  t1=$(date +%s%N)
  if [ "$status" -ne 0 ]; then
    echo "$command failed (exit $status) with $h:" >&2
    tail -n 3 "$work/log" >&2
    return 1
  fi
  awk -v w=$(((t1 - t0) / 1000)) '{printf "%.1f %.1f\n", w / 1000.0, ($1 + $2) * 1000.0}' "$work/cpu"
}

# The least or the median of one column of a times file (1 wall, 2 CPU).
stat_of() {  # column least|median file
  awk -v c="$1" '{print $c}' "$3" | sort -n |
    awk -v which="$2" '{v[NR] = $1} END {print v[which == "least" ? 1 : int((NR + 1) / 2)]}'
}

run() {  # case name command file
  local case=$1 name=$2 command=$3 file=$4
  case " $cases " in *" $case "*) ;; *) return 0 ;; esac
  echo "== $name"
  local k i
  for i in "${!hosts[@]}"; do : > "$work/times.$i"; einmal "${hosts[$i]}" "$command" "$file" > /dev/null; done  # warm-up
  for ((k = 0; k < runs; k++)); do
    for i in "${!hosts[@]}"; do einmal "${hosts[$i]}" "$command" "$file" >> "$work/times.$i"; done
  done
  local best=() cpu=() min med cpumed
  for i in "${!hosts[@]}"; do
    min=$(stat_of 1 least "$work/times.$i")
    med=$(stat_of 1 median "$work/times.$i")
    cpumed=$(stat_of 2 median "$work/times.$i")
    best+=("$min")
    cpu+=("$cpumed")
    printf "  %-7s fastest %8.1f ms   median %8.1f ms   cpu median %8.1f ms\n" "${namen[$i]}" "$min" "$med" "$cpumed"
  done
  if [ "${#best[@]}" -eq 2 ]; then
    awk -v a="${best[0]}" -v b="${best[1]}" 'BEGIN {if (a > 0) printf "  before / this (fastest wall): %.2f\n", b / a}'
    awk -v a="${cpu[0]}" -v b="${cpu[1]}" 'BEGIN {if (b > 0) printf "  this / before (median cpu): %.2f\n", a / b}'
  fi
}
cp "$work/rect.tqx" "$work/rect.tqx.orig"
cp "$work/circ.tqx" "$work/circ.tqx.orig"
run calc-rect "calc: two-field rectangular example (target < 50 ms)" calc rect.tqx
run calc-circ "calc: circular column, 30 combinations (target < 0.25 s)" calc circ.tqx
# The report of each position as this build calculates it: both builds write the report of the same results.
for file in rect.tqx circ.tqx; do
  cp "$work/$file.orig" "$work/$file"
  "$host" calc "$work/$file" > "$work/log" 2>&1 || { echo "calc failed with $host:" >&2; tail -n 3 "$work/log" >&2; exit 1; }
  cp "$work/$file" "$work/$file.calc"
done
run report-rect "report: two-field rectangular example" report rect.tqx
run report-circ "report: circular column, 30 combinations" report circ.tqx
