#!/usr/bin/env bash
# Runs the UI tests under Wine after making what Windows cannot: a working copy
# and a list name that are links to /dev/full (skipped where there is none).
# Usage: run_ui_tests.sh <ui_tests.exe> <work folder> [arguments...]
set -eu
program=$1 work=$2
shift 2
for output in new txt; do
  rm -rf "$work/full-$output" && mkdir -p "$work/full-$output"
  if [ -c /dev/full ]; then ln -s /dev/full "$work/full-$output/vor.qvz.$output"; fi
done
exec bash "$(dirname "$0")/../../cmake/wine-run.sh" "$program" "$@"
