#!/usr/bin/env bash
# The glossary check against a small planted tree: which words of names it finds German, which it leaves alone,
# and what a glossary must hold to pass. Usage: check_glossary_test.sh PATH/TO/check-glossary.py
set -uo pipefail
script=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
mkdir -p "$work/engine" "$work/platform/win"
cat >"$work/engine/rechnung.cpp" <<'CODE'
// Kommentar: Zeichenkette und Bewehrungsstoss stehen nur hier.
/* Ueberschlag */
double BerechneSchnittgroessen(double m_dLaengen) { return m_dLaengen; }
const char* kText = "Verschiebungsgroesse";
int CalculateValue(int hole, int window_count);
struct CResultStabdrehung {};
CODE
echo 'enum { CBS_HASSTRINGS = 1, WS_EX_CLIENTEDGE = 2 };' >"$work/platform/win/winapi.h"
full='| Berechne | calculate |
| Schnittgroessen | internal forces |
| Laenge | length |
| Stab, Drehung | member, rotation |'

# check NAME STATUS GLOSSARY [PATTERN] [ABSENT]: exit status, a line that must be printed, a word that must not.
check() {
  local name=$1 status=$2 glossary=$3 pattern=${4:-} absent=${5:-} out got
  printf '%s\n' "$glossary" >"$work/GLOSSARY.md"
  out=$(python3 "$script" --root "$work" 2>&1)
  got=$?
  local ok=1
  [ "$got" -eq "$status" ] || ok=0
  [ -z "$pattern" ] || grep -qE -- "$pattern" <<<"$out" || ok=0
  [ -z "$absent" ] || ! grep -qiE -- "$absent" <<<"$out" || ok=0
  if [ $ok -eq 1 ]; then
    echo "ok: $name"
  else
    echo "FAILED: $name: wanted status $status, /$pattern/ and no /$absent/; got $got:"
    sed 's/^/    /' <<<"$out"
    failures=$((failures + 1))
  fi
}

check "a glossary with every word passes" 0 "$full" 'not in the glossary: 0$'
check "a verb that is missing is listed with its name and file" 1 "${full/| Berechne | calculate |/}" \
  '^berechne +BerechneSchnittgroessen \(engine/rechnung.cpp\)$'
check "comments and string literals are no names" 1 "" 'laengen' \
  'kommentar|zeichenkette|bewehrung|ueberschlag|verschiebung'
check "English words and constants in capitals are not German" 1 "" 'berechne' \
  '^(calculate|value|hole|window|count|result|hasstrings|clientedge) '
check "a compound the glossary lacks stands for its parts" 1 "${full/| Schnittgroessen | internal forces |/| Schnitt | cut |}" \
  '^groessen +BerechneSchnittgroessen, part of schnittgroessen ' '^schnitt '
check "a compound the glossary holds as it stands is not split" 0 \
  "${full/| Stab, Drehung | member, rotation |/| Stabdrehung | member rotation |}" 'not in the glossary: 0$'
check "a form with a German ending is explained by its word" 0 "$full" '' '^laengen '

printf '%s\n' "$full" >"$work/GLOSSARY.md"
if out=$(python3 "$script" --root "$work" --german "$work/none" 2>&1); then
  echo "FAILED: a missing word list passed"
  failures=$((failures + 1))
elif [ $? -ne 2 ] || ! grep -q "the word list $work/none is missing" <<<"$out"; then
  echo "FAILED: a missing word list: wanted status 2 and its name, got: $out"
  failures=$((failures + 1))
else
  echo "ok: a missing word list is a clear error"
fi

if [ $failures -gt 0 ]; then
  echo "$failures case(s) failed"
  exit 1
fi
echo "all cases passed"
