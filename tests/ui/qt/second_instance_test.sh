#!/bin/sh
# A second start of the desktop program ends at once, silently, with status 0, while the
# first keeps running.   Usage: second_instance_test.sh PROGRAM
set -u
program=$1
runtime=$(mktemp -d)
first=
cleanup() {
    [ -n "$first" ] && kill "$first" 2>/dev/null
    rm -rf "$runtime"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen

"$program" >/dev/null 2>&1 &
first=$!
tries=0
while [ ! -e "$runtime/velloran.lock" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 200 ]; then
        echo "the first instance never took its lock"
        exit 1
    fi
    sleep 0.05
done

output=$(timeout 20 "$program" 2>&1)
status=$?
if [ "$status" -ne 0 ]; then
    echo "the second instance ended with status $status"
    exit 1
fi
if [ -n "$output" ]; then
    echo "the second instance printed: $output"
    exit 1
fi
if ! kill -0 "$first" 2>/dev/null; then
    echo "the first instance has ended"
    exit 1
fi
echo "second instance ended silently"
