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
# One untimed run of each: a failing import stops the benchmark here.
"$bin/navaid" import vor "$work/empty.qvz" "$work/world.dat" >/dev/null
"$bin/navaid" import ndb "$work/empty.qvz" "$work/world.dat" >/dev/null
echo
# Wall time counts waiting for a busy machine's processors; CPU time does not.
printf '%-6s %9s %-7s %9s %12s %12s\n' family rows op seconds rows/s "rows/s (CPU)"
TIMEFORMAT='%R %U %S'
for kind in vor ndb; do
  best="" bestCpu=""
  for _ in 1 2 3 4 5; do
    rm -f "$work/empty.qvz.new"
    read -r wall user sys < <({ time "$bin/navaid" import "$kind" "$work/empty.qvz" \
      "$work/world.dat" >/dev/null; } 2>&1)
    cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')
    best=$(awk -v a="${best:-1e9}" -v b="$wall" 'BEGIN { print (b < a) ? b : a }')
    bestCpu=$(awk -v a="${bestCpu:-1e9}" -v b="$cpu" 'BEGIN { print (b < a) ? b : a }')
  done
  awk -v k="$kind" -v r="$rows" -v w="$best" -v c="$bestCpu" 'BEGIN {
    printf "%-6s %9d %-7s %9.3f %12.0f %12.0f\n", k, r, "import", w, r / w, r / (c > 0 ? c : 0.001) }'
done
rm -rf "$work"
