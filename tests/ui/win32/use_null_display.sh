#!/bin/sh
# Switches the Wine prefix to the null display driver, which makes windows without any
# display, and restarts the desktop process, which may have started without a usable
# driver, with it. Runs while no other Wine program runs: the desktop is made anew only
# once no program is attached to the old one.
# Usage: use_null_display.sh WINE
# Every Wine process started here writes to /dev/null: one that outlives this script
# must not hold the output pipes of the test runner.
set -u
wine=$1
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1 || {
    echo "could not set the display driver"
    exit 1
}
"$wine" taskkill /f /im explorer.exe </dev/null >/dev/null 2>&1
# The first window of a session starts its desktop process: start it here.
"$wine" rundll32.exe user32.dll,MessageBeep </dev/null >/dev/null 2>&1
echo "null display driver set"
