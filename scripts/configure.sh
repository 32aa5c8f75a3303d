#!/usr/bin/env bash
# Configures one CMake preset quietly: its output is shown only when configuring fails.
# Usage: scripts/configure.sh PRESET [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."

preset=$1
shift
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! cmake --preset "$preset" "$@" >"$log" 2>&1; then
    echo "Configuring the ${preset} preset failed:" >&2
    cat "$log" >&2
    exit 1
fi
