#!/usr/bin/env bash
# Builds the benchmark (Release) and runs it: add, delete, list and labels on
# generated databases of 20,000, 100,000 and 1,000,000 records, the tool's
# commands on them, then import and update from nav.dat; at 1,000,000 records
# add, delete and list also with the flushes every output of the tool gets.
# Usage: bench/run.sh [MAX_RECORDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target navaid-bench >/dev/null
work="$PWD/$build/work"
rm -rf "$work"
"$build/bin/navaid-bench" "$work" "${1:-1000000}"
rm -rf "$work"
