#!/usr/bin/env bash
# Rewrites the stored results and report texts of the whole-run regression (tests/data) from the engine as it is
# now. Run it only on purpose, after a reviewed change of the engine, the driver or the report, and review the
# diff it shows before committing it.
#
#   scripts/regenerate-regression.sh [BUILD_FOLDER]      (default build/default; built first)
#
# It remakes the small columns from their generator (tests/column/make_regression.cpp) and copies the shipped
# example, calculates and reports each with the host program, writes <name>.results.txt and <name>.report.txt,
# then runs the regression once more to show that the new texts are reproduced, and prints what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
data="tests/data"

cmake --build "$build" --target kolumo kolumo_module column_make_regression column_regression_tests \
  --parallel "${JOBS:-4}"

bin="$(cd "$build" && pwd)/bin"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
root="$scratch/root"
mkdir -p "$root" "$scratch/made"
for entry in "$PWD"/data/*; do ln -s "$entry" "$root/$(basename "$entry")"; done

# The positions: the shipped example and the generated columns, made in a scratch folder and copied over, so that
# a failing generator leaves tests/data as it was.
(cd "$scratch" && KOLUMO_ROOT="$root" "$bin/kolumo" new empty.tqx &&
  KOLUMO_ROOT="$root" "$bin/column_make_regression" empty.tqx made)
mkdir -p "$data"
cp data/examples/Stuetze.tqx "$data/Stuetze.tqx"
cp "$scratch"/made/*.tqx "$data/"

# Stored texts of a position that is no longer there would only confuse the next reader.
for stored in "$data"/*.results.txt "$data"/*.report.txt; do
  [ -e "$stored" ] || continue
  name="$(basename "$stored")"
  name="${name%.results.txt}"
  name="${name%.report.txt}"
  [ -e "$data/$name.tqx" ] || rm -f "$stored"
done

# A sanitizer build reads the leak suppressions the test presets give it.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}"
KOLUMO_TEST=1 KOLUMO_REGRESSION_UPDATE=1 "$bin/column_regression_tests" --gtest_filter='Positions/*' >/dev/null
# A second run must reproduce what the first one wrote.
KOLUMO_TEST=1 "$bin/column_regression_tests" --gtest_brief=1

echo "Changed stored files (review them before committing):"
git diff --stat -- "$data"
git status --short --untracked-files=all -- "$data"
