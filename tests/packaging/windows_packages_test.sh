#!/usr/bin/env bash
# Installs the Windows installer silently into the test run's Wine prefix, checks its
# files, shortcut and Add/Remove Programs entry, runs a receive and a send through the
# installed velloran-cli.exe against the portable zip's demo printer, then uninstalls
# silently and checks that only a backup the user saved in the folder is left.
# Usage: windows_packages_test.sh SETUP.exe PORTABLE.zip
set -uo pipefail
setup=$(realpath "$1") zip=$(realpath "$2")
export LC_ALL=C.UTF-8
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

drive_c=$WINEPREFIX/drive_c
folder="$drive_c/Program Files/VELLORAN"
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/VELLORAN.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VELLORAN'
installed=(velloran.exe velloran-cli.exe VLR120.chm uninstall.exe)

wine "$setup" /S || fail "setup.exe /S exited with $?"
for file in "${installed[@]}"; do
    [ -f "$folder/$file" ] || fail "$file is not installed"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut VELLORAN"
entry=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
for value in DisplayName DisplayVersion Publisher DisplayIcon EstimatedSize UninstallString \
    QuietUninstallString NoModify NoRepair; do
    grep -q "^ *$value" <<<"$entry" || fail "uninstall entry lacks $value"
done
grep -Eq 'DisplayVersion +REG_SZ +[0-9]+\.[0-9]+\.[0-9]+$' <<<"$entry" || fail "DisplayVersion: $entry"

cli="$folder/velloran-cli.exe"
[ "$(wine "$cli" models | tr -d '\r')" = $'LM-Q30\nLM-Q20\nLM-Q10' ] || fail "installed models"

# The zip's demo printer, reached through WINEPATH as demo.cmd reaches it through PATH.
(cd "$work" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
for file in velloran.exe velloran-cli.exe VLR120.chm demo/Hdv305.dll demo/Hdv201.dll demo/demo.cmd; do
    [ -f "$work/$file" ] || fail "the zip lacks $file"
done
[ "$(ls "$work" | wc -l)" = 4 ] || fail "the zip's top holds more than three files and demo"
export VELLORAN_SIM_STATE_DIR=$work/state
(cd "$work/demo" && wine cmd /c demo.cmd models | tr -d '\r' | grep -qx LM-Q10) || fail "demo.cmd models"
backup="$folder/mine.vid"
WINEPATH="$(winepath -w "$work/demo")" wine "$cli" receive LM-Q20 'C:\Program Files\VELLORAN\mine.vid' >/dev/null ||
    fail "receive through the installed program"
[ "$(stat -c %s "$backup" 2>/dev/null)" = 163856 ] || fail "the received backup is not 163856 bytes"
WINEPATH="$(winepath -w "$work/demo")" wine "$cli" send LM-Q30 'C:\Program Files\VELLORAN\mine.vid' >/dev/null ||
    fail "send through the installed program"
wine "$cli" send LM-Q30 'C:\Program Files\VELLORAN\mine.vid' >/dev/null 2>&1 &&
    fail "the installed program found a printer without the demo folder"

# The uninstaller runs on from a copy in the temporary folder: wait for the files to go.
wine "$folder/uninstall.exe" /S || fail "uninstall.exe /S exited with $?"
for _ in $(seq 60); do
    [ -f "$folder/uninstall.exe" ] || [ -f "$folder/velloran.exe" ] || break
    sleep 0.5
done
[ "$(ls "$folder" 2>/dev/null)" = mine.vid ] || fail "after uninstalling, the folder holds: $(ls "$folder")"
[ -f "$shortcut" ] && fail "the shortcut is still there"
wine reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry is still there"
rm -rf "$folder"
exit $((failures > 0))
