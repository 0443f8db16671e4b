#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the shipped example position.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh default
exec bash scripts/main-job.sh build/default
