#!/usr/bin/env bash
# Builds everything and runs the whole test suite (set-up included).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"
ctest --preset release
