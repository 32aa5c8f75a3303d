#!/usr/bin/env bash
# Draws the desktop program's two windows into docs/screenshots/, offscreen (no display
# needed): main-window.png as the program opens, and transfer-window.png during a
# receive from the simulated LM-Q20 (about half a minute).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --desktop
scripts/configure.sh release
cmake --build --preset release --target velloran-screenshots velloran_sim_hdv305 velloran_sim_hdv201

build=$PWD/build/release
state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT
mkdir -p docs/screenshots

LD_LIBRARY_PATH="$build/sim-driver${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" \
VELLORAN_SIM_STATE_DIR="$state" \
QT_QPA_PLATFORM=offscreen \
    "$build/bin/velloran-screenshots" docs/screenshots
