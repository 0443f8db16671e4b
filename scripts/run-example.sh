#!/usr/bin/env bash
# Installs what is missing, builds what the example needs (the host program and the module; configuring lays out the
# installation root), and runs the main job on the shipped example position. The tests are built by scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh default kolumo kolumo_module
exec bash scripts/main-job.sh build/default
