#!/usr/bin/env bash
# Installs everything the build, the tests and the program need on a fresh
# Debian machine. Runs as root (or through sudo when available).
set -euo pipefail
packages=(
  cmake make g++ libgtest-dev googletest libbenchmark-dev
  clang-14 libclang-rt-14-dev
  zlib1g-dev libz-mingw-w64-dev
  g++-mingw-w64-x86-64 wine wine64 xvfb x11-utils imagemagick librsvg2-bin python3
  nsis help2man man-db dpkg-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
