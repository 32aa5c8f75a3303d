#!/usr/bin/env bash
# Builds the program and runs it against the simulated printer.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/release

# The command-line demo: back up the simulated LM-Q30's memory into a file under the
# default dated name, show what the file holds, and send it back, with the progress bar
# and each outcome. The simulated printer keeps its memory in build/release/sim-state.
run_cli_demo() (
    local cli=$PWD/$build/bin/velloran-cli
    local demo=$build/demo
    local file
    file="lmq30_$(date +%y%m%d).vid"
    export LD_LIBRARY_PATH="$PWD/$build/sim-driver${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
    export VELLORAN_SIM_STATE_DIR="$PWD/$build/sim-state"
    mkdir -p "$demo"
    cd "$demo"
    echo "== velloran-cli models"
    "$cli" models
    echo "== velloran-cli receive LM-Q30 --force   (into $demo/$file)"
    "$cli" receive LM-Q30 --force
    echo "== velloran-cli inspect $file"
    "$cli" inspect "$file"
    echo "== velloran-cli send LM-Q30 $file"
    "$cli" send LM-Q30 "$file"
)

# The desktop program against the same simulated printer and memory.
run_desktop() (
    export LD_LIBRARY_PATH="$PWD/$build/sim-driver${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
    export VELLORAN_SIM_STATE_DIR="$PWD/$build/sim-state"
    exec "$PWD/$build/bin/velloran"
)

main() {
    scripts/install-deps.sh --desktop
    scripts/configure.sh release
    # What the demo runs, and nothing else: the programs, the simulated printer and
    # the help. The tests are built by the test command.
    cmake --build --preset release --target velloran velloran-cli \
        velloran_sim_hdv305 velloran_sim_hdv201 velloran_help
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        run_desktop
    else
        echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the command-line demo."
        run_cli_demo
    fi
}

main "$@"
