#!/usr/bin/env bash
# Cross-builds the core, the simulated printer and their tests for 32-bit Windows with
# MinGW-w64 (preset "windows") and runs the tests under Wine in a fresh Wine prefix.
# Usage: scripts/test-windows.sh [extra ctest arguments]
set -euo pipefail
cd "$(dirname "$0")/.."

readonly test_timeout=300    # seconds for a test without a limit of its own
readonly suite_timeout=3600  # seconds for the whole ctest run
# The same prefix and settings as the "windows" test preset.
export WINEPREFIX="$PWD/build/wine-windows"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Wine's 32-bit half comes from the i386 architecture, which apt must know first;
# install-deps.sh then updates the package lists because wine32:i386 is missing.
install_packages() {
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    scripts/install-deps.sh g++-mingw-w64-i686 mingw-w64-tools wine wine32:i386 wine64 xvfb
}

# A new prefix every run, and a wine server that outlives each test: a server started
# by a test would inherit ctest's output pipes and keep ctest waiting.
start_wine() {
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    trap stop_wine EXIT
    wineserver -p </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1
}

stop_wine() {
    wineserver -k </dev/null >/dev/null 2>&1 || true
}

main() {
    install_packages
    start_wine
    cmake --preset windows >/dev/null
    cmake --build --preset windows
    timeout --kill-after=30 "$suite_timeout" \
        ctest --preset windows -j2 --timeout "$test_timeout" "$@"
}

main "$@"
