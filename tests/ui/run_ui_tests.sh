#!/usr/bin/env bash
# Runs the UI tests under Wine after preparing what Windows cannot make: a
# working copy name and a list name that are links to /dev/full.
# Usage: run_ui_tests.sh <ui_tests.exe> <work folder> [arguments...]
set -eu
program=$1 work=$2
shift 2
for output in new txt; do
  rm -rf "$work/full-$output"
  mkdir -p "$work/full-$output"
  # Without /dev/full (some containers) a link would make a regular file; the
  # full-disk rows are skipped then.
  if [ -c /dev/full ]; then ln -s /dev/full "$work/full-$output/vor.qvz.$output"; fi
done
exec bash "$(dirname "$0")/../../cmake/wine-run.sh" "$program" "$@"
