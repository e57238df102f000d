#!/usr/bin/env bash
# Runs a UI program of the test suite under Wine with the program under test
# and the screenshots folder as Windows paths. The UI program draws on a
# virtual desktop of its own, where Wine draws captions and menu bars.
# Usage: run-on-desktop.sh DRIVER.exe PROGRAM.exe SCREENSHOTS-DIR
set -euo pipefail
: "${DISPLAY:?the UI programs need a display}"
: "${WINEPREFIX:?the UI programs need a WINEPREFIX}"
windows_path() { printf 'Z:%s/%s\n' "$(cd "$(dirname "$1")" && pwd)" "$(basename "$1")" | tr / '\\'; }
mkdir -p "$3"
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
exec wine "$1" "$(windows_path "$2")" "$(windows_path "$3")"
