#!/usr/bin/env bash
# Builds the release preset and times every transfer job against the simulated printer.
# Arguments go to velloran-bench: --quick for one short job, --job NAME to pick jobs.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/release
scripts/install-deps.sh
scripts/configure.sh release
cmake --build --preset release --target velloran-bench velloran_sim_hdv305 velloran_sim_hdv201
LD_LIBRARY_PATH="$PWD/$build/sim-driver${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" \
VELLORAN_SIM_STATE_DIR="$PWD/$build/bench-state" \
    "$build/bin/velloran-bench" "$@"
