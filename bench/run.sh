#!/usr/bin/env bash
# Builds the benchmark (Release) and runs it: add, delete, list and labels on
# generated databases of 20,000, 100,000 and 1,000,000 records; then import
# from a whole-world-sized nav.dat.
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

# Import speed: a generated nav.dat of whole-world size (about 25,000 rows of
# VORs, their DMEs and NDBs), imported into an empty database of each family.
# Every import reads every row; the figure is rows per second, best of 5.
cmake --build "$build" -j2 --target navaid navaid-gen >/dev/null
mkdir -p "$work"
bin="$PWD/$build/bin"
"$bin/navaid-gen" vor 12000 "$work/vor.qvz" 42
"$bin/navaid-gen" ndb 6500 "$work/ndb.qvz" 42
"$bin/navaid" export vor "$work/vor.qvz" "$work/vor.dat"
"$bin/navaid" export ndb "$work/ndb.qvz" "$work/ndb.dat"
{ head -n -1 "$work/vor.dat"; tail -n +3 "$work/ndb.dat"; } > "$work/world.dat"
rows=$(grep -cv '^\(I\|99\|[0-9]* Version.*\)$' "$work/world.dat")
: > "$work/empty.qvz"
echo
printf '%-6s %9s %-7s %9s %12s\n' family rows op seconds rows/s
for kind in vor ndb; do
  best=""
  for _ in 1 2 3 4 5; do
    rm -f "$work/empty.qvz.new"
    start=$(date +%s%N)
    "$bin/navaid" import "$kind" "$work/empty.qvz" "$work/world.dat" >/dev/null
    ns=$(( $(date +%s%N) - start ))
    if [ -z "$best" ] || [ "$ns" -lt "$best" ]; then best=$ns; fi
  done
  awk -v k="$kind" -v r="$rows" -v ns="$best" \
    'BEGIN { printf "%-6s %9d %-7s %9.4f %12.0f\n", k, r, "import", ns / 1e9, r / (ns / 1e9) }'
done
rm -rf "$work"
