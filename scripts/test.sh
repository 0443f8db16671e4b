#!/usr/bin/env bash
# Installs what is missing, runs the tree's checks, builds both presets and runs every test of the default run (the
# slow ones are left out) in each. A failing check or preset does not stop the others: the end lists each result, and
# the status is 1 when any failed.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh || exit 1
jobs="$(nproc)"
results=()
failed=0
# run NAME COMMAND...: runs a step and notes how it ended.
run() {
  local name=$1
  shift
  echo "== $name"
  if "$@"; then
    results+=("passed  $name")
  else
    results+=("FAILED  $name")
    failed=1
  fi
}
run "include layers" bash scripts/check-layers.sh
run "file sizes of the window layer" bash scripts/check-file-sizes.sh
run "glossary" python3 scripts/check-glossary.py
run "layout of the C++ files" bash scripts/check-format.sh
for preset in default asan; do
  # A preset that does not build is not tested; the other preset still is.
  echo "== build ($preset)"
  if bash scripts/build.sh "$preset"; then
    results+=("passed  build ($preset)")
    run "test ($preset)" ctest --preset "$preset" --parallel "$jobs"
  else
    results+=("FAILED  build ($preset)")
    failed=1
  fi
done
echo "== results"
printf '%s\n' "${results[@]}"
exit "$failed"
