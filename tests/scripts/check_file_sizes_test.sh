#!/usr/bin/env bash
# The file-size check against small planted trees: files of the window layer up to the limit pass, each one over it
# fails with its name and line count, and files outside the layer or of other kinds do not count.
# Usage: check_file_sizes_test.sh PATH/TO/check-file-sizes.sh
set -uo pipefail
script=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# lines N FILE: a file of N lines, each ended by a line break.
lines() {
  mkdir -p "$(dirname "$2")"
  seq "$1" | sed 's/^/int x/' >"$2"
}

# A tree at the limit: the window layer's files (one in the folder itself, others in sub-folders) have 1,500
# lines at the most; a longer file lies in another folder.
clean_tree() {
  rm -rf "$work/t" && mkdir -p "$work/t"
  cd "$work/t"
  lines 1500 platform/win/window/wnd.cpp
  lines 1499 platform/win/window/internal.h
  lines 10 platform/win/winapi.h
  lines 1500 "platform/win/draw/a file.cpp"
  mkdir -p platform/win/base && : >platform/win/base/empty.h
  lines 4000 engine/long.cpp
}

# expect STATUS PATTERN...: the script's exit status and lines of its output (each pattern must match a line).
expect() {
  local status=$1 out got pattern missing=""
  shift
  out=$(bash "$script" --root "$work/t" 2>&1)
  got=$?
  for pattern in "$@"; do
    grep -qE -- "$pattern" <<<"$out" || missing+=" /$pattern/"
  done
  if [ "$got" -ne "$status" ] || [ -n "$missing" ]; then
    echo "FAILED: $case_name: wanted status $status, got $got; missing:${missing:- none}; output:"
    sed 's/^/    /' <<<"$out"
    failures=$((failures + 1))
  else
    echo "ok: $case_name"
  fi
}

case_name="files up to the limit pass"
clean_tree
expect 0 '^files over 1500 lines in platform/win: 0$'

case_name="a source file one line over the limit fails, named with its count"
clean_tree
lines 1501 platform/win/window/wnd.cpp
expect 1 '^too long: platform/win/window/wnd.cpp: 1501 lines \(at most 1500\)$' '^files over 1500 lines in platform/win: 1$'

case_name="a header over the limit fails"
clean_tree
lines 1600 platform/win/window/internal.h
expect 1 '^too long: platform/win/window/internal.h: 1600 lines'

case_name="a file in the layer's own folder counts"
clean_tree
lines 2000 platform/win/winapi.h
expect 1 '^too long: platform/win/winapi.h: 2000 lines'

case_name="a file two sub-folders down counts"
clean_tree
lines 1501 platform/win/controls/deep/c.cpp
expect 1 '^too long: platform/win/controls/deep/c.cpp: 1501 lines'

case_name="a last line without a line break counts"
clean_tree
printf 'int last' >>platform/win/window/wnd.cpp
expect 1 '^too long: platform/win/window/wnd.cpp: 1501 lines'

case_name="a file name with a space"
clean_tree
echo 'int y' >>"platform/win/draw/a file.cpp"
expect 1 '^too long: platform/win/draw/a file.cpp: 1501 lines'

case_name="every file over the limit is named"
clean_tree
lines 1501 platform/win/window/wnd.cpp
lines 1700 platform/win/base/b.h
expect 1 '^too long: platform/win/window/wnd.cpp: 1501 lines' '^too long: platform/win/base/b.h: 1700 lines' \
  '^files over 1500 lines in platform/win: 2$'

case_name="other kinds of file and other folders do not count"
clean_tree
lines 3000 platform/win/gallery/notes.txt
lines 3000 platform/win/CMakeLists.txt
lines 3000 platform/viduv/long.cpp
expect 0 '^files over 1500 lines in platform/win: 0$'

case_name="a tree without the window layer is an error"
rm -rf "$work/t" && mkdir -p "$work/t/engine"
expect 2 '^no folder platform/win under '

if [ $failures -gt 0 ]; then
  echo "$failures case(s) failed"
  exit 1
fi
echo "all cases passed"
