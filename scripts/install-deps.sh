#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, when they are missing.
# Prints one line for the set it installs; apt's own output goes to a log that is shown
# only when the install fails.
set -euo pipefail

# Usage: scripts/install-deps.sh [--desktop] [package ...]
# --desktop adds what the desktop program and its help need: Qt 6 Widgets, chmlib and the
# help compiler, a Japanese font and Qt's own Japanese texts.
packages=(cmake ninja-build g++ libgtest-dev clang-format)
if [ "${1:-}" = --desktop ]; then
    shift
    packages+=(qt6-base-dev libchm-dev fp-utils fonts-ipafont-gothic qt6-translations-l10n)
fi
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# sudo drops DEBIAN_FRONTEND from the environment, so it travels through env: no
# package can stop the install with a question.
if ! { "${as_root[@]}" apt-get update -q &&
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    echo "Installing ${missing[*]} failed; apt-get said:" >&2
    tail -n 40 "$log" >&2
    exit 1
fi
