#!/usr/bin/env bash
# Makes the packages: navaid's .deb and .tar.gz in build/native/packages, and
# the Windows zip and installer of navaidedit.exe and navaid.exe in
# build/win64/packages. Their names carry the version from CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

bash scripts/install-deps.sh

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j "$jobs" --target navaid navaid_man
(cd build/native && cpack >/dev/null)

cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build build/win64 -j "$jobs" --target navaid navaidedit
(cd build/win64 && cpack >/dev/null)

ls -1 "$root"/build/native/packages/* "$root"/build/win64/packages/*
