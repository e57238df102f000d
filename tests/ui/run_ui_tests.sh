#!/usr/bin/env bash
# Runs a UI test program under Wine after preparing what Windows cannot make:
# a working copy name that is a link to /dev/full, for the full-disk case.
# Usage: run_ui_tests.sh <program.exe> <work folder> [arguments...]
set -eu
program=$1
work=$2
shift 2
full=$work/fixtures/full-disk
rm -rf "$full"
mkdir -p "$full"
# Some containers have no /dev/full; a link to a missing one would create a
# regular file there. Without it the full-disk cases are skipped.
if [ -c /dev/full ]; then
  ln -s /dev/full "$full/vor.qvz.new"
  ln -s /dev/full "$full/vor.qvz.txt"
else
  echo "[ note ] /dev/full is missing here: the full-disk cases are skipped"
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
exec wine "$program" "$@"
