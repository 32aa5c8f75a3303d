#!/usr/bin/env bash
# Builds the release artifacts into dist/: the Debian packages velloran and velloran-demo
# (from the "package" preset), and the Windows installer and portable zip (from the
# "windows" preset, which also tests them under Wine). Installs the packages it needs
# when they are missing.
# Usage: scripts/package.sh [linux] [windows]   (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-common.sh

targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(linux windows)
mkdir -p dist

for target in "${targets[@]}"; do
    case $target in
        linux)
            scripts/install-deps.sh --desktop dpkg-dev file
            scripts/configure.sh package
            cmake --build --preset package
            rm -f build/package/packages/*.deb
            (cd build/package && cpack -G DEB >/dev/null)
            cp build/package/packages/*.deb dist/
            ;;
        windows)
            install_wine_packages nsis
            scripts/configure.sh windows
            cmake --build --preset windows --target velloran_installer velloran_portable_zip
            cp build/windows/packages/velloran-*-setup.exe build/windows/packages/velloran-*-win32.zip dist/
            ;;
        *)
            echo "unknown target $target (linux or windows)" >&2
            exit 2
            ;;
    esac
done
ls -l dist
