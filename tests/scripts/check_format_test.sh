#!/usr/bin/env bash
# The layout check (scripts/check-format.sh) in a planted git tree: it names only the tracked file that clang-format
# would change and fails; once that file is laid out it passes; an untracked file is not its business.
# Usage: check_format_test.sh PATH/TO/scripts/check-format.sh PATH/TO/.clang-format
set -uo pipefail
script=$(realpath "$1")
style=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL $1"; failures=$((failures + 1)); }

mkdir -p "$work/scripts" "$work/src"
cp "$script" "$work/scripts/check-format.sh"
cp "$style" "$work/.clang-format"
printf 'int Good(int a) { return a + 1; }\n' >"$work/src/good.cpp"
printf 'int   Bad( int a ){\nreturn a+1;}\n' >"$work/src/bad.h"
printf 'int   Loose( ){return 0;}\n' >"$work/src/untracked.cpp"
git -C "$work" init -q && git -C "$work" add .clang-format scripts src/good.cpp src/bad.h

out=$(bash "$work/scripts/check-format.sh" 2>&1) && fail "a badly laid out file passed: $out"
grep -qx 'src/bad.h' <<<"$out" || fail "the badly laid out file is not named: $out"
grep -q 'good.cpp\|untracked.cpp' <<<"$out" && fail "a file that is laid out or untracked is named: $out"

clang-format -i "$work/src/bad.h"
out=$(bash "$work/scripts/check-format.sh" 2>&1) || fail "the laid-out tree failed: $out"

[ "$failures" -eq 0 ] && echo "passed" || exit 1
