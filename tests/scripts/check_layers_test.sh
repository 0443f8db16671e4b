#!/usr/bin/env bash
# The layer check against small planted trees: a clean tree passes, and each kind of violation is caught with
# its file named. Usage: check_layers_test.sh PATH/TO/check-layers.sh
set -uo pipefail
script=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# A tree of three layers: platform/win (with a sub-folder), engine, column.
clean_tree() {
  rm -rf "$work/t" && mkdir -p "$work/t/platform/win/base" "$work/t/engine" "$work/t/column/sub"
  cd "$work/t"
  echo 'kolumo_library(win SHARED SOURCES a.cpp PUBLIC_LIBS Threads::Threads PkgConfig::CAIRO)' >platform/win/CMakeLists.txt
  printf '#include <cairo/cairo.h>\n#include <vector>\n#include "platform/win/base/handles.h"\n' >platform/win/a.cpp
  echo '#pragma once' >platform/win/base/handles.h
  printf '# links the window layer\nkolumo_library(engine STATIC SOURCES e.cpp\n  PUBLIC_LIBS win  # the base\n  PRIVATE_LIBS m)\n' \
    >engine/CMakeLists.txt
  printf '#include "engine/results.h"\n#include <platform/win/base/handles.h>\n' >engine/e.cpp
  echo '#pragma once' >engine/results.h
  echo '#pragma once' >engine/quer.h
  printf 'kolumo_library(column STATIC SOURCES c.cpp PUBLIC_LIBS engine win)\nadd_executable(tool tool.cpp)\ntarget_link_libraries(tool PRIVATE column engine ${CMAKE_DL_LIBS})\n' \
    >column/CMakeLists.txt
  printf '#include "engine/results.h"\n#include <engine/results.h>\n#include "column/sub/s.h"\n' >column/c.cpp
  echo '#include "platform/win/base/handles.h"' >column/sub/s.h
}

# expect STATUS PATTERN [ARGS...]: the script's exit status and a line of its output.
expect() {
  local status=$1 pattern=$2 out got
  shift 2
  out=$(bash "$script" --root "$work/t" "$@" 2>&1)
  got=$?
  if [ "$got" -ne "$status" ] || ! grep -qE -- "$pattern" <<<"$out"; then
    echo "FAILED: $case_name: wanted status $status and /$pattern/, got $got:"
    grep -E 'violation|pending' <<<"$out" | sed 's/^/    /'
    failures=$((failures + 1))
  else
    echo "ok: $case_name"
  fi
}

case_name="clean tree"
clean_tree
expect 0 '^violations: 0$'

case_name="quoted include of a higher folder"
clean_tree
echo '#include "column/c.h"' >>engine/e.cpp
expect 1 '^violation: engine/e.cpp:3 includes column/c.h$'

case_name="include in angle brackets of a higher folder"
clean_tree
echo '#include <column/sub/s.h>' >>engine/e.cpp
expect 1 '^violation: engine/e.cpp:3 includes column/sub/s.h$'

case_name="a sub-folder of the window layer counts as the window layer"
clean_tree
echo '#include "engine/results.h"' >>platform/win/base/handles.h
expect 1 '^violation: platform/win/base/handles.h:2 includes engine/results.h$'

case_name="include of a folder the table does not know"
clean_tree
echo '#include "tests/support/helper.h"' >>column/c.cpp
expect 1 '^violation: column/c.cpp:4 includes tests/support/helper.h$'

case_name="library list of kolumo_library links a higher folder"
clean_tree
sed -i 's/PUBLIC_LIBS win  # the base/PUBLIC_LIBS win  # the base\n  column/' engine/CMakeLists.txt
sed -i 's/PRIVATE_LIBS m)/PRIVATE_LIBS m column)/' engine/CMakeLists.txt
expect 1 '^violation: engine/CMakeLists.txt links column \(column\)$'

case_name="target_link_libraries in a sub-folder links a higher folder"
clean_tree
mkdir -p platform/win/screens
printf 'add_library(x11screen STATIC x.cpp)\ntarget_link_libraries(x11screen\n  PRIVATE engine X11)\n' >platform/win/screens/CMakeLists.txt
expect 1 '^violation: platform/win/screens/CMakeLists.txt links engine \(engine\)$'

case_name="a commented-out link is no link"
clean_tree
echo '# target_link_libraries(engine PRIVATE column)' >>engine/CMakeLists.txt
expect 0 '^violations: 0$'

case_name="narrow rule on: an include outside the list fails"
clean_tree
echo '#include "engine/quer.h"' >>column/c.cpp
expect 1 '^violation: column/c.cpp:4 includes engine/quer.h \(only '

# The same script with the rule switched off: what it would refuse is only listed.
sed 's/\[column>engine\]=1/[column>engine]=0/' "$script" >"$work/off.sh"
if grep -q '\[column>engine\]=0' "$work/off.sh"; then
  script_before=$script
  script=$work/off.sh
  case_name="narrow rule off: a pending include is listed and passes"
  expect 0 '^pending: column/c.cpp:4 includes engine/quer.h'
  case_name="narrow rule off, tried with --strict"
  expect 1 '^violation: column/c.cpp:4 includes engine/quer.h \(only ' --strict
  script=$script_before
else
  echo "FAILED: narrow rule off: the table has no switch [column>engine]=1"
  failures=$((failures + 1))
fi

case_name="allowed engine headers are not pending"
clean_tree
expect 0 '^violations: 0$' --strict

case_name="a relative include counts for the folder it reaches"
clean_tree
echo '#include "../column/sub/s.h"' >>engine/e.cpp
expect 1 '^violation: engine/e.cpp:3 includes \.\./column/sub/s\.h \(column/sub/s\.h\)$'

case_name="a relative include through a sub-folder's parent"
clean_tree
echo '#include "../../../column/c.h"' >>platform/win/base/handles.h
expect 1 '^violation: platform/win/base/handles.h:2 includes \.\./\.\./\.\./column/c\.h \(column/c\.h\)$'

case_name="a relative include under a narrow rule"
clean_tree
echo '#include "sub/../../engine/quer.h"' >>column/c.cpp
expect 1 '^violation: column/c.cpp:4 includes sub/\.\./\.\./engine/quer\.h \(engine/quer\.h\) \(only '

case_name="an include that leaves the tree"
clean_tree
echo '#include "../../outside.h"' >>column/c.cpp
expect 1 '^violation: column/c.cpp:4 includes \.\./\.\./outside\.h \(outside the tree\)$'

case_name="allowed relative includes and one beside the file pass"
clean_tree
printf '#include "../engine/results.h"\n#include "sub/s.h"\n#include "zlib.h"\n' >>column/c.cpp
echo '#include "handles.h"' >>platform/win/a.cpp
expect 0 '^violations: 0$' --strict

if [ $failures -gt 0 ]; then
  echo "$failures case(s) failed"
  exit 1
fi
echo "all cases passed"
