#!/usr/bin/env bash
# Installs what is missing, builds both presets and runs every test of the default run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
echo "== include layers"
bash scripts/check-layers.sh
echo "== file sizes of the window layer"
bash scripts/check-file-sizes.sh
echo "== glossary"
python3 scripts/check-glossary.py
jobs="$(nproc)"
for preset in default asan; do
  echo "== build ($preset)"
  bash scripts/build.sh "$preset"
  echo "== test ($preset)"
  ctest --preset "$preset" --parallel "$jobs"
done
