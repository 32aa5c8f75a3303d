#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a bounded time (default 60 s) from its
# committed seed corpus. New inputs go to a scratch folder, never into the repository.
# Usage: scripts/fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
scripts/install-deps.sh clang libclang-rt-14-dev
scripts/configure.sh fuzz
cmake --build --preset fuzz

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for target in file_tests frame_exchange transfer_job; do
    echo "=== fuzz_${target} for ${seconds} s"
    mkdir -p "$scratch/$target" "$scratch/artifacts"
    build/fuzz/bin/fuzz_${target} -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
        -artifact_prefix="$scratch/artifacts/${target}-" \
        "$scratch/$target" "fuzz/corpus/$target" 2>&1 | grep -E 'stat::number_of_executed_units|Done|ERROR|SUMMARY' || true
    if ls "$scratch/artifacts/${target}-"* >/dev/null 2>&1; then
        echo "fuzz_${target} found a failing input:"
        ls "$scratch/artifacts/"
        exit 1
    fi
done
