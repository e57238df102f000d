#!/usr/bin/env bash
# Runs a UI test driver under Wine on a virtual desktop, where Wine draws the
# caption and menu bar itself, and reports the driver's own exit code (the
# desktop does not pass it on).
# Usage: run-on-desktop.sh DRIVER.exe PROGRAM.exe SCREENSHOTS-DIR [driver args...]
set -euo pipefail
driver=$1 program=$2 shots=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
launcher=$here/../../cmake/wine-run.sh
: "${DISPLAY:?the UI tests need a display (scripts/test.sh starts one)}"
: "${WINEPREFIX:?the UI tests need the WINEPREFIX of the test run}"

windows_path() { printf 'Z:%s/%s\n' "$(cd "$(dirname "$1")" && pwd)" "$(basename "$1")" | tr / '\\'; }

mkdir -p "$shots"
result=$(mktemp "${TMPDIR:-/tmp}/navaid-ui-result.XXXXXX")
trap 'rm -f "$result"' EXIT
: >"$result"
bash "$launcher" explorer "/desktop=navaidtest,1024x768" "$driver" \
  "--program=$(windows_path "$program")" "--screenshots=$(windows_path "$shots")" \
  "--result=$(windows_path "$result")" "$@"

code=$(tr -d '\r\n ' <"$result")
if [ -z "$code" ]; then
  echo "the driver ended without reporting a result" >&2
  exit 1
fi
exit "$code"
