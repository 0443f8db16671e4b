#!/usr/bin/env bash
# The test command (scripts/test.sh) in a planted tree whose checks, build and test steps are stand-ins that log their
# calls: every check and both presets run and are reported, also when one before them fails, and the status is 1
# when any failed, 0 when all passed. A preset that does not build is not tested; the other one is.
# Usage: test_command_test.sh PATH/TO/scripts
set -uo pipefail
scripts=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# plant FAILING...: a tree with the real test command and stand-ins; each name given (a check, "build-PRESET" or
# "ctest-PRESET") fails.
plant() {
  rm -rf "$work/t" "$work/bin" && mkdir -p "$work/t/scripts" "$work/bin"
  cp "$scripts/test.sh" "$work/t/scripts/"
  : >"$work/log"
  local failing=" $* "
  stand_in() { # NAME PATH: a script that logs NAME and fails when NAME is among the failing
    printf '#!/usr/bin/env bash\necho "%s" >>"%s"\n[[ "%s" != *" %s "* ]]\n' "$1" "$work/log" "$failing" "$1" >"$2"
    chmod +x "$2"
  }
  stand_in install "$work/t/scripts/install-deps.sh"
  stand_in layers "$work/t/scripts/check-layers.sh"
  stand_in sizes "$work/t/scripts/check-file-sizes.sh"
  stand_in format "$work/t/scripts/check-format.sh"
  stand_in glossary "$work/bin/check-glossary"
  printf '#!/usr/bin/env bash\nexec "%s"\n' "$work/bin/check-glossary" >"$work/t/scripts/check-glossary.py"
  # python3 runs the glossary check's stand-in; the build script's preset names its stand-in
  printf '#!/usr/bin/env bash\nexec bash "$@"\n' >"$work/bin/python3"
  chmod +x "$work/bin/python3"
  for preset in default asan; do stand_in "build-$preset" "$work/bin/build-$preset"; done
  printf '#!/usr/bin/env bash\nexec "%s/build-$1"\n' "$work/bin" >"$work/t/scripts/build.sh"
  for preset in default asan; do stand_in "ctest-$preset" "$work/bin/ctest-$preset"; done
  printf '#!/usr/bin/env bash\nexec "%s/ctest-$2"\n' "$work/bin" >"$work/bin/ctest"
  chmod +x "$work/bin/ctest"
}

# expect NAME STATUS CALLS PATTERN...: the command ends with STATUS, makes exactly the calls CALLS (in order) and
# prints each PATTERN.
expect() {
  local name=$1 status=$2 calls=$3 out got
  shift 3
  out=$(PATH="$work/bin:$PATH" bash "$work/t/scripts/test.sh" 2>&1)
  got=$?
  [ "$got" -eq "$status" ] || { echo "FAIL $name: status $got, not $status"; echo "$out"; failures=$((failures + 1)); }
  local made
  made=$(tr '\n' ' ' <"$work/log" | sed 's/ $//')
  [ "$made" = "$calls" ] || { echo "FAIL $name: calls \"$made\", not \"$calls\""; failures=$((failures + 1)); }
  for pattern in "$@"; do
    grep -qE "$pattern" <<<"$out" || { echo "FAIL $name: no line /$pattern/"; echo "$out"; failures=$((failures + 1)); }
  done
}

all="install layers sizes glossary format build-default ctest-default build-asan ctest-asan"
plant
expect "all pass" 0 "$all" "^passed +test \(default\)" "^passed +test \(asan\)"
plant ctest-default
expect "the first preset's tests fail" 1 "$all" "^FAILED +test \(default\)" "^passed +test \(asan\)"
plant ctest-asan
expect "the second preset's tests fail" 1 "$all" "^passed +test \(default\)" "^FAILED +test \(asan\)"
plant build-default
expect "the first preset does not build" 1 "install layers sizes glossary format build-default build-asan ctest-asan" \
  "^FAILED +build \(default\)" "^passed +test \(asan\)"
plant layers glossary
expect "two checks fail" 1 "$all" "^FAILED +include layers" "^passed +file sizes" "^FAILED +glossary" \
  "^passed +layout of the C\+\+ files" \
  "^passed +test \(default\)" "^passed +test \(asan\)"
plant install
expect "nothing to build with" 1 "install"

[ "$failures" -eq 0 ] && echo "passed" || exit 1
