#!/usr/bin/env bash
# Configures and builds one preset (default: "default"); targets after the preset build only those (and what they
# need), e.g. `bash scripts/build.sh default kolumo kolumo_module`.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
shift || true
jobs="$(nproc)"
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/kolumo-ccache}"
# Paths relative to the checkout, so that a fresh clone in another folder finds its objects in the cache.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
cmake --preset "$preset" >/dev/null
if [ $# -gt 0 ]; then
  cmake --build --preset "$preset" --parallel "$jobs" --target "$@"
else
  cmake --build --preset "$preset" --parallel "$jobs"
fi
