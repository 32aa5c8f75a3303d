#!/usr/bin/env bash
# Builds the program and runs it against the simulated printer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release

bin=build/release/bin
if [ ! -x "$bin/velloran-cli" ]; then
    echo "The program is not built yet: only the core library and its tests exist so far."
    exit 0
fi
