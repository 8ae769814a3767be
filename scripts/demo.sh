#!/usr/bin/env bash
# Builds everything and shows the tool on a demo program directory.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"
demo_dir="${NODALYX_DEMO_DIR:-$PWD/demo-run}"
mkdir -p "$demo_dir"
build/release/cli/nodalyx-cli --dir "$demo_dir" locations
