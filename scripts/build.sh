#!/usr/bin/env bash
# Configures and builds one preset (default: "default").
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
jobs="$(nproc)"
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/kolumo-ccache}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --parallel "$jobs"
