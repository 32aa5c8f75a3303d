#!/usr/bin/env bash
# Builds and runs every test: the debug build with the end-to-end runs of the real
# programs, the sanitizer builds (AddressSanitizer + UndefinedBehaviorSanitizer, then
# ThreadSanitizer), the optimised build (every target, so that a warning that only
# optimisation brings out fails here), each fuzz target for a bounded time, the 32-bit
# Windows build with its tests under Wine (the installer and zip among them), and the
# Debian packages' checks (scripts/check-packages.sh).
# Usage: scripts/test.sh [preset ...]   (default: dev asan tsan release fuzz windows package)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --desktop

presets=("$@")
[ ${#presets[@]} -eq 0 ] && presets=(dev asan tsan release fuzz windows package)

for preset in "${presets[@]}"; do
    echo "=== ${preset}"
    if [ "$preset" = windows ]; then
        scripts/test-windows.sh
        continue
    fi
    if [ "$preset" = package ]; then
        scripts/check-packages.sh
        continue
    fi
    if [ "$preset" = fuzz ]; then
        scripts/fuzz.sh "${VELLORAN_FUZZ_SECONDS:-60}"
        continue
    fi
    scripts/configure.sh "$preset"
    cmake --build --preset "$preset"
    # The end-to-end runs use the real clock; the other builds leave them to dev.
    labels=()
    [ "$preset" != dev ] && labels=(-LE slow)
    ctest --preset "$preset" -j2 "${labels[@]}"
done
