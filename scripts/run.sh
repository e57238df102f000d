#!/usr/bin/env bash
# Builds everything and starts navaidedit.exe: under Wine on a Linux desktop,
# or natively from a Windows shell (MSYS2 or Git Bash with CMake, GoogleTest and MinGW-w64
# g++ on the PATH). On a machine with no display it starts the program on a
# virtual display, saves a screenshot of the start screen, says where, and
# ends the program.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=2

case "$(uname -s)" in
  MINGW* | MSYS* | CYGWIN*)
    cmake -S . -B build/windows -G "MinGW Makefiles" -DCMAKE_BUILD_TYPE=Release
    cmake --build build/windows -j "$jobs"
    exec build/windows/bin/navaidedit.exe
    ;;
esac

bash scripts/install-deps.sh

echo "== native build"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j "$jobs"

echo "== Windows build"
cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build build/win64 -j "$jobs"

export WINEPREFIX=${WINEPREFIX:-$root/build/win64/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
program=$root/build/win64/bin/navaidedit.exe

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "== starting navaidedit.exe under Wine"
  [ -f "$WINEPREFIX/system.reg" ] || { wine wineboot -i >/dev/null 2>&1; wineserver -w; }
  exec wine "$program"
fi

echo "== no display: starting navaidedit.exe on a virtual display"
pidfile=$root/build/win64/run-xvfb.pid
display=$(bash scripts/start-xvfb.sh "$pidfile")
export DISPLAY=":$display"
cleanup() {
  timeout 30 wineserver -w 2>/dev/null || wineserver -k 2>/dev/null || true
  kill "$(cat "$pidfile")" 2>/dev/null || true
  rm -f "$pidfile"
}
trap cleanup EXIT
[ -f "$WINEPREFIX/system.reg" ] || { wine wineboot -i >/dev/null 2>&1; wineserver -w; }
shots=$root/build/win64/screenshots
bash cmake/wine-run.sh build/win64/bin/start_screen_shot.exe
echo "The start screen is in $shots/start-screen.png"
