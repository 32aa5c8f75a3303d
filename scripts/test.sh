#!/usr/bin/env bash
# Builds and runs every test: the debug build, then the sanitizer builds.
# Usage: scripts/test.sh [preset ...]   (default: dev asan)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

presets=("$@")
[ ${#presets[@]} -eq 0 ] && presets=(dev asan)

for preset in "${presets[@]}"; do
    echo "=== ${preset}"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset" -j2
done
