#!/usr/bin/env bash
# Checks every #include of the code folders against the table of allowed folder pairs below and prints the
# table and the violations. Exit status 1 when there is a violation.
set -euo pipefail
cd "$(dirname "$0")/.."

# folder: the folders it may include besides itself, lowest layer first
declare -A allowed=(
  [platform/win]=""
  [platform/viduv]="platform/win"
  [platform/tolkar]="platform/win"
  [platform/rtfx]="platform/win"
  [platform/kombra]=""
  [platform/catalogs]="platform/win platform/viduv"
  [platform/plotwerk]="platform/win"
  [platform/pictor]="platform/win platform/rtfx platform/plotwerk"
  [platform/richedit]="platform/win"
  [platform/tqscript]="platform/win"
  [designcode]=""
  [geometry]="platform/win"
  [formula]="platform/win platform/viduv platform/tolkar platform/rtfx"
  [controls]="platform/win platform/tolkar platform/viduv formula"
  [framework]="designcode platform/win platform/viduv platform/tolkar platform/rtfx platform/richedit platform/kombra platform/catalogs formula controls"
  [document]="platform/win platform/viduv platform/tolkar platform/rtfx platform/tqscript formula framework"
  [engine]="designcode platform/win platform/tolkar"
  [transfer]="platform/win platform/viduv platform/tolkar formula controls framework"
  [column]="designcode platform/win platform/viduv platform/tolkar platform/rtfx formula controls framework engine transfer"
  [framework_ui]="platform/win platform/viduv platform/tolkar platform/plotwerk platform/pictor platform/richedit formula controls framework transfer"
  [column_ui]="designcode platform/win platform/viduv platform/tolkar platform/pictor formula controls framework document transfer framework_ui editor column"
  [report]="designcode platform/win platform/viduv platform/tolkar platform/rtfx platform/pictor formula framework framework_ui column column_ui"
  [editor]="platform/win platform/viduv platform/tolkar platform/rtfx platform/tqscript platform/richedit platform/plotwerk platform/pictor formula controls framework document transfer framework_ui"
  [module]="platform/win platform/viduv platform/tolkar framework document transfer column framework_ui editor column_ui report"
  [host]="platform/win platform/viduv platform/rtfx framework"
)
order=(platform/win platform/viduv platform/tolkar platform/rtfx platform/kombra platform/catalogs platform/plotwerk
       platform/pictor platform/richedit platform/tqscript designcode geometry formula controls framework document engine transfer
       column framework_ui editor column_ui report module host)

printf '%-18s may include\n' folder
for f in "${order[@]}"; do
  printf '%-18s %s\n' "$f" "${allowed[$f]:-(nothing)}"
done

violations=0
for f in "${order[@]}"; do
  [ -d "$f" ] || continue
  while IFS=: read -r file line target; do
    dir=$(dirname "$target")
    case $dir in platform/win/*) dir=platform/win ;; esac  # its sub-folders are one layer
    [ "$dir" = "$f" ] && continue
    ok=0
    for a in ${allowed[$f]}; do [ "$dir" = "$a" ] && ok=1; done
    if [ $ok -eq 0 ]; then
      echo "violation: $file:$line includes $target"
      violations=$((violations + 1))
    fi
  done < <(grep -rnoE '#include "[a-z_]+(/[a-z_]+){0,2}/[A-Za-z0-9_.]+"' "$f" --include='*.cpp' --include='*.h' |
           sed -E 's/#include "([^"]+)"/\1/')
done

echo "violations: $violations"
[ $violations -eq 0 ]
