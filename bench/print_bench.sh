#!/usr/bin/env bash
# Prints the example's report into a PDF as "drucken" does and gives the time per page and the PDF's size: the
# example calculated and its report written with "kolumo", then bin/print_bench over that RTF. Then the same for the
# example with a document part ("Dokument") of 20 KB and of 160 KB of 28-pt letters, each letter on a page of its
# own: the times of "kolumo calc", "kolumo report" and the print, which grow with the document in proportion where
# the work is linear. Last a document part of 130 KB: one table row definition of 1,000 cells reused by 5,000 rows of
# one cell each.
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

# The document editor is the first tab, so that the calculation and the report take the document part.
export ORMI_REGISTRY="$work/registry.xml"
cat > "$ORMI_REGISTRY" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<registry><hive name="HKEY_CURRENT_USER"><key name="software"><key name="Ormi"><key name="Vernik2005">
<value name="bSkrib" type="REG_SZ" text="1" />
</key></key></key></hive></registry>
XML
# Runs a program with its output in the log and sets "took" to its wall time; a program that fails ends the run.
timed() {
  local start
  start=$(date +%s%N)
  "$@" >> "$work/log" 2>&1 || { echo "print_bench: $* failed:" >&2; tail -n 5 "$work/log" >&2; exit 1; }
  took="$(( ($(date +%s%N) - start) / 1000000 )) ms"
}
# The example with the document part from standard input as its first tab, calculated, reported and printed.
report_with_document() {
  local folder="$work/$1"
  mkdir -p "$folder"
  # The document's RTF with its terminating zero, as the position stores it (base64 in the element "Skrib").
  { cat; printf '\0'; } > "$folder/document.rtf"
  base64 -w0 "$folder/document.rtf" > "$folder/document.b64"
  awk -v data="$folder/document.b64" '{ print }
    !done && /^\t<input / { getline text < data; print "\t\t<Skrib iPage=\"1\" rtfData=\"" text "\" isEmpty=\"0\" />"; done = 1 }' \
    data/examples/Stuetze.tqx > "$folder/Stuetze.tqx"
  timed "$build/bin/kolumo" calc "$folder/Stuetze.tqx"
  calc=$took
  timed "$build/bin/kolumo" report "$folder/Stuetze.tqx"
  echo "$2: kolumo calc $calc, kolumo report $took"
  KOLUMO_PRINT_RTF="$folder/Stuetze.rtf" "$build/bin/print_bench" --benchmark_repetitions="${KOLUMO_BENCH_RUNS:-3}" \
    --benchmark_report_aggregates_only=true 2>&1 | grep -v '^\(Run on\|CPU\|  L[0-9]\|Load Average\|\*\*\*\)' || true
}
for kb in 20 160; do
  awk -v size=$((kb * 1000)) 'BEGIN {
    text = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n\\pard\\plain\\f0\\fs56 "
    for (n = 0; total < size; ++n) {
      printf "%s", text
      total += length(text)
      text = "{\\fs56 " substr("abcdefghijklmnopqrstuvwxyz", n % 26 + 1, 1) "}\\page "
    }
    printf "\\par\r\n}" }' | report_with_document "letters$kb" "$kb KB of 28-pt letters, one a page"
done
awk 'BEGIN {
  printf "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n\\pard\\plain\\f0\\fs20 \\trowd\\trgaph70"
  for (c = 1; c <= 1000; ++c) printf "\\cellx%d", 1000 + c
  for (r = 0; r < 5000; ++r) printf "\\pard\\intbl x\\cell\\row\r\n"
  printf "\\pard Ende\\par\r\n}" }' | report_with_document rows "5,000 rows of one 1,000-cell definition"
