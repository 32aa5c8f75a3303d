#!/usr/bin/env bash
# Takes pictures of the Windows program's two windows under Wine on a virtual X display:
# docs/screenshots/win32-main-window.png as the program opens, and
# docs/screenshots/win32-transfer-window.png during a receive from the simulated LM-Q20
# (about a minute). Uses the "windows" preset's build and a Wine prefix of its own.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly output=${VELLORAN_SCREENSHOT_DIR:-docs/screenshots}
readonly screen="-screen 0 1024x768x24"
readonly desktop_size=800x600
source scripts/wine-common.sh
use_wine_prefix wine-screenshots

install_packages() {
    install_wine_packages xvfb xauth imagemagick fonts-ipafont-gothic fonts-wine fp-utils
}

build() {
    scripts/configure.sh windows
    cmake --build --preset windows --target velloran velloran-win32-screenshots \
        velloran_sim_hdv305 velloran_sim_hdv201 velloran_help
}

# A fresh prefix with a Japanese face for the dialog font and the window captions, and a
# virtual desktop, inside which Wine draws the window frames itself (Xvfb runs no window
# manager). The desktop settings take effect when the next session starts.
prepare_prefix() {
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    use_japanese_faces
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$desktop_size" /f
    wineserver -w
}

# Runs on the virtual display: each line of the driver names a window and its place on
# the screen; the picture is cut from the whole screen, then the driver goes on.
take_pictures() {
    local build_dir=$1
    # The Wine session belongs to this display: it must end with it.
    trap 'wineserver -k' EXIT
    coproc driver {
        wine "$build_dir/bin/velloran-win32-screenshots.exe" \
            "$build_dir/bin/velloran.exe" "Z:$build_dir/sim-driver"
    }
    local driver_pid=$driver_PID
    local name x y width height
    while read -r name x y width height <&"${driver[0]}"; do
        height=${height%$'\r'}
        import -window root -crop "${width}x${height}+${x}+${y}" +repage \
            "$output/win32-$name.png"
        echo "wrote $output/win32-$name.png"
        echo taken >&"${driver[1]}"
    done
    wait "$driver_pid"
}

main() {
    install_packages
    build
    mkdir -p "$output"
    prepare_prefix >/dev/null 2>&1
    # This script again, on a display of its own.
    xvfb-run -a -s "$screen" "$0" --on-display "$PWD/build/windows"
}

if [ "${1:-}" = --on-display ]; then
    take_pictures "$2"
else
    main "$@"
fi
