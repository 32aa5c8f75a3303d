#!/usr/bin/env bash
# Cross-builds the core, the simulated printer and their tests for 32-bit Windows with
# MinGW-w64 (preset "windows") and runs the tests under Wine in a fresh Wine prefix.
# Usage: scripts/test-windows.sh [extra ctest arguments]
set -euo pipefail
cd "$(dirname "$0")/.."

readonly test_timeout=300    # seconds for a test without a limit of its own
readonly suite_timeout=3600  # seconds for the whole ctest run
# The same prefix and settings as the "windows" test preset.
source scripts/wine-common.sh
use_wine_prefix wine-windows

install_packages() {
    install_wine_packages xvfb nsis fonts-ipafont-gothic
}

# A new prefix every run, and a wine server that outlives each test: a server started
# by a test would inherit ctest's output pipes and keep ctest waiting.
start_wine() {
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    trap stop_wine EXIT
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1
    use_japanese_faces </dev/null
}

stop_wine() {
    wineserver -k </dev/null >/dev/null 2>&1 || true
}

main() {
    install_packages
    start_wine
    scripts/configure.sh windows
    cmake --build --preset windows
    # The installer tests run last and one at a time: when one ended while other Wine
    # programs were starting in the shared prefix, one of those programs has been seen to
    # hang until its time-out.
    timeout --kill-after=30 "$suite_timeout" \
        ctest --preset windows -j2 --timeout "$test_timeout" -LE packaging "$@"
    timeout --kill-after=30 "$suite_timeout" \
        ctest --preset windows -j1 --timeout "$test_timeout" -L packaging "$@"
}

main "$@"
