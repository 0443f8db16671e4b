#!/usr/bin/env bash
# Checks that no source file (.cpp, .h) of the window layer, platform/win and its sub-folders, is over 1,500 lines:
# a file that grows past it is cut along its concerns. Names each file over the limit with its line count; exit
# status 1 when there is one.
#   --root DIR   check the tree at DIR instead of this project (the script's own test plants files in one)
set -euo pipefail
root="$(dirname "$0")/.."
while [ $# -gt 0 ]; do
  case $1 in
    --root) root=$2; shift 2 ;;
    *) echo "usage: $0 [--root DIR]" >&2; exit 2 ;;
  esac
done
cd "$root"

limit=1500
folder=platform/win
if [ ! -d "$folder" ]; then
  echo "no folder $folder under $(pwd)" >&2
  exit 2
fi

over=0
# Lines as an editor counts them: a last line without a line break counts too.
while read -r lines file; do
  if [ "$lines" -gt $limit ]; then
    echo "too long: $file: $lines lines (at most $limit)"
    over=$((over + 1))
  fi
done < <(find "$folder" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
           xargs -0 -r -n 1 awk 'END { print NR, FILENAME }')
echo "files over $limit lines in $folder: $over"
[ $over -eq 0 ]
