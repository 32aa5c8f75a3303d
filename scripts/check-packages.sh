#!/usr/bin/env bash
# Builds the Debian packages (scripts/package.sh linux) and checks them: lintian without
# errors, the exact list of files in each package, the desktop entry, the metainfo and
# the man pages, that apt accepts their dependencies, and a real receive and send through
# the installed programs against velloran-demo, installed into a temporary root.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh lintian desktop-file-utils appstream groff-base man-db dpkg-dev
scripts/package.sh linux >/dev/null

version=$(sed -n 's/^project(velloran VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

debs=()
for package in velloran velloran-demo; do
    deb=dist/${package}_${version}_${arch}.deb
    [ -f "$deb" ] || { fail "$deb was not built"; continue; }
    debs+=("$deb")
    diff -u <(sed "s/MULTIARCH/$multiarch/" "packaging/linux/$package.contents") \
        <(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sort) ||
        fail "$deb holds other files than packaging/linux/$package.contents"
    dpkg-deb -x "$deb" "$root"
done
lintian --no-cfg --fail-on error "${debs[@]}" 2>&1 | grep -v 'root privileges' || true
lintian --no-cfg --fail-on error "${debs[@]}" >/dev/null 2>&1 || fail "lintian reports errors"
apt-get -s -qq install "${debs[@]/#/./}" >/dev/null || fail "apt cannot satisfy the dependencies"

desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop entry"
appstreamcli validate --no-net --pedantic "$root"/usr/share/metainfo/*.xml >/dev/null || fail "metainfo"
for page in "$root"/usr/share/man/man1/*.1.gz; do
    warnings=$( { zcat "$page" | groff -man -ww -z -Tutf8; LC_ALL=C.UTF-8 man --warnings -l "$page" >/dev/null; } 2>&1)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

# A receive from an LM-Q20 and a send of that backup into an LM-Q30 (its two regions).
cd "$root"
export XDG_STATE_HOME=$root/state
unset VELLORAN_SIM_STATE_DIR LD_LIBRARY_PATH
usr/bin/velloran-demo --version | grep -qx "velloran-cli $version" || fail "velloran-demo --version"
usr/bin/velloran-demo receive LM-Q20 backup.vid >/dev/null || fail "receive through velloran-demo"
[ "$(stat -c %s backup.vid 2>/dev/null)" = 163856 ] || fail "the backup is not 163856 bytes (16-byte header and 0x28000 of memory)"
usr/bin/velloran-demo send LM-Q30 backup.vid >/dev/null || fail "send through velloran-demo"
[ -f state/velloran-demo/lmq30.mem ] || fail "no state under \$XDG_STATE_HOME/velloran-demo"
usr/bin/velloran-cli models >/dev/null || fail "installed velloran-cli"
usr/bin/velloran-cli receive LM-Q20 none.vid 2>/dev/null && fail "velloran-cli found a printer without velloran-demo"

[ "$failures" -eq 0 ] && echo "Debian packages: every check passed"
exit $((failures > 0))
