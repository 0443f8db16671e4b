#!/usr/bin/env bash
# Lists the C++ files git tracks that the tree's .clang-format files would change, and fails when there are any.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
mapfile -t files < <(git ls-files '*.cpp' '*.h')
[ "${#files[@]}" -gt 0 ] || { echo "no C++ files"; exit 0; }
# clang-format --dry-run names each file it would change in its warnings
bad=$(printf '%s\0' "${files[@]}" | xargs -0 -n 64 -P "$(nproc)" clang-format --dry-run 2>&1 |
  sed -n 's/^\(.*\.\(cpp\|h\)\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' | sort -u)
if [ -n "$bad" ]; then
  echo "These files are not laid out as the tree's .clang-format says (clang-format -i FILE mends them):" >&2
  echo "$bad" >&2
  exit 1
fi
echo "all ${#files[@]} C++ files laid out as .clang-format says"
