#!/usr/bin/env bash
# Configures and builds one preset (default: "default").
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
jobs="$(nproc)"
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/kolumo-ccache}"
# Paths relative to the checkout, so that a fresh clone in another folder finds its objects in the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --parallel "$jobs"
