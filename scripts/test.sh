#!/usr/bin/env bash
# Builds everything and runs every test: native core and CLI tests, the same
# suite under AddressSanitizer/UndefinedBehaviorSanitizer, the fuzz targets for
# a short budget, then the Windows build's core tests and UI tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

stage() { echo "== $1 (at ${SECONDS}s)"; }

bash scripts/install-deps.sh

stage "native build and tests"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j "$jobs"
ctest --test-dir build/native --output-on-failure -j "$jobs"

stage "native tests with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DNAVAID_SANITIZE=ON \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/sanitize --output-on-failure -j "$jobs" -LE slow

stage "fuzz targets, 30 seconds each"
# New inputs go to a work folder; the committed corpus is only read.
for target in core_fuzz readers_fuzz; do
  work="$root/build/sanitize/fuzz-work/$target"
  mkdir -p "$work"
  "build/sanitize/bin/$target" -max_total_time=30 -max_len=2048 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work" "fuzz/corpus/$target" >"$work.log" 2>&1 ||
    { tail -n 40 "$work.log"; exit 1; }
  echo "$target: $(grep -o 'number_of_executed_units: [0-9]*' "$work.log" | grep -o '[0-9]*') runs"
done

stage "Windows build"
cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build build/win64 -j "$jobs"

stage "Windows tests under Wine"
export WINEPREFIX="$root/build/win64/wineprefix"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
display=$(bash scripts/start-xvfb.sh "$root/build/win64/xvfb.pid")
export DISPLAY=":$display"
cleanup() {
  timeout 30 wineserver -w 2>/dev/null || wineserver -k 2>/dev/null || true
  [ -f "$root/build/win64/xvfb.pid" ] && kill "$(cat "$root/build/win64/xvfb.pid")" 2>/dev/null || true
}
trap cleanup EXIT
# A fresh prefix and fresh screenshots for every run, initialised once before
# any test (several processes initialising one prefix at once fail).
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX" "$root/build/win64/screenshots"
wine wineboot -i >/dev/null 2>&1
wineserver -w
ctest --test-dir build/win64 --output-on-failure

stage "packages"
bash scripts/package.sh >/dev/null
check=$root/build/package-check
rm -rf "$check"
mkdir -p "$check/zip" "$check/deb"
(cd "$check/zip" && cmake -E tar xf "$root"/build/win64/packages/navaidedit-*-win64.zip)
zipped=$(echo "$check"/zip/navaidedit-*-win64)
# The zip carries the Windows users' README and the pictures it shows.
ls "$zipped"/{README.txt,main-window.png,add-vor-dialog.png} >/dev/null
bash cmake/wine-run.sh build/win64/bin/start_screen_shot.exe "$zipped/navaidedit.exe"
dpkg -x "$root"/build/native/packages/navaid_*.deb "$check/deb"
# Both packaged tools list a sample, and print and write the same bytes.
for tool in "bash $root/cmake/wine-run.sh $zipped/navaid.exe" "$check/deb/usr/bin/navaid"; do
  (cd "$zipped/samples" && $tool list vor vor.qvz && $tool labels vor vor.qvz) >"$check/labels"
  mv "$zipped/samples/vor.qvz.txt" "$check/list"
  grep -q "^0	" "$check/labels"
  if [ -f "$check/labels.first" ]; then
    cmp "$check/labels" "$check/labels.first"
    cmp "$check/list" "$check/list.first"
  else
    mv "$check/labels" "$check/labels.first"
    mv "$check/list" "$check/list.first"
  fi
done
man --manpath="$check/deb/usr/share/man" navaid >"$check/man.txt" 2>/dev/null
grep -q "navaid map vor|ndb DATABASE OUT.svg" "$check/man.txt"
echo "Packages: $(cd "$root/build" && ls native/packages/* win64/packages/* | tr '\n' ' ')"
echo "Screenshots of the program's screens: $root/build/win64/screenshots"
echo "All tests passed in ${SECONDS}s."
