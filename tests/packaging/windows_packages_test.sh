#!/usr/bin/env bash
# Installs the Windows installer silently into a fresh Wine prefix (win32, or win64 where it
# runs under WOW64), checks its files, shortcut and Add/Remove Programs entry, runs a
# receive and a send through the installed velloran-cli.exe against the portable zip's
# demo printer, checks that a silent install or uninstall while the command-line or the
# desktop program runs fails and changes nothing, then uninstalls silently and checks that
# only a backup the user saved in the folder is left.
# Usage: windows_packages_test.sh SETUP.exe PORTABLE.zip win32|win64
set -uo pipefail
setup=$(realpath "$1") zip=$(realpath "$2")
work=$(mktemp -d)
# A prefix of its own: no other test's program holds the names the installer looks for.
export LC_ALL=C.UTF-8 WINEPREFIX=$(mktemp -d) WINEARCH=$3 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k; rm -rf "$work" "$WINEPREFIX"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
# Windows without a display: the null driver, then Wine again to make the desktop with it.
wineserver -p </dev/null >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
wineserver -k && wineserver -w
wineserver -p </dev/null >/dev/null 2>&1

x86= view=
[ "$WINEARCH" = win64 ] && x86=' (x86)' view='\WOW6432Node'
drive_c=$WINEPREFIX/drive_c
folder="$drive_c/Program Files$x86/VELLORAN"
windows_folder="C:\\Program Files$x86\\VELLORAN"
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/VELLORAN.lnk"
key="HKLM\\Software$view\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VELLORAN"
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
demo=$(winepath -w "$work/demo")

# While $1 runs, a silent install and uninstall fail, leaving the files and the entry. The
# uninstaller runs in place (_?=FOLDER, unquoted and last) to give its own exit code.
snapshot() { stat -c '%n %z' "${installed[@]/#/$folder/}"; wine reg query "$key"; }
printf '@"%s\\uninstall.exe" /S _?=%s\r\n@exit /b %%errorlevel%%\r\n' \
    "$windows_folder" "$windows_folder" >"$work/uninstall.cmd"
refused_while() {
    local before
    before=$(snapshot)
    wine "$setup" /S && fail "setup.exe /S ran while $1 ran"
    wine cmd /c "$(winepath -w "$work/uninstall.cmd")" && fail "uninstall.exe /S ran while $1 ran"
    [ "$(snapshot)" = "$before" ] || fail "a refused install or uninstall changed the installation"
}

# A receive into the installed folder, with both refused while it runs.
backup="$folder/mine.vid"
WINEPATH=$demo wine "$cli" receive LM-Q20 "$windows_folder\\mine.vid" >/dev/null &
receiving=$!
for _ in $(seq 100); do [ -f "$backup.velloran-partial" ] && break || sleep 0.1; done
refused_while velloran-cli.exe
wait "$receiving" || fail "receive through the installed program"
[ "$(stat -c %s "$backup" 2>/dev/null)" = 163856 ] || fail "the received backup is not 163856 bytes"
WINEPATH=$demo wine "$cli" send LM-Q30 "$windows_folder\\mine.vid" >/dev/null ||
    fail "send through the installed program"
wine "$cli" send LM-Q30 "$windows_folder\\mine.vid" >/dev/null 2>&1 &&
    fail "the installed program found a printer without the demo folder"

# The desktop program, until the installer first sees it.
wine "$folder/velloran.exe" </dev/null >/dev/null 2>&1 &
desktop=$!
for _ in $(seq 20); do wine "$setup" /S && sleep 0.5 || break; done
refused_while velloran.exe
kill "$desktop"
wait "$desktop"

# The uninstaller runs on from a copy in the temporary folder: wait for the files to go.
wine "$folder/uninstall.exe" /S || fail "uninstall.exe /S exited with $?"
for _ in $(seq 60); do
    [ -f "$folder/uninstall.exe" ] || [ -f "$folder/velloran.exe" ] || break
    sleep 0.5
done
[ "$(ls "$folder" 2>/dev/null)" = mine.vid ] || fail "after uninstalling, the folder holds: $(ls "$folder")"
[ -f "$shortcut" ] && fail "the shortcut is still there"
wine reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry is still there"
exit $((failures > 0))
