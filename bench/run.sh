#!/usr/bin/env bash
# Runs the three benchmarks of a release build and prints their tables, then
# the transfer and the panel open of the real Pixlor.dlls under Wine, the
# 64-bit one's rows beside the 32-bit one's (bench/wine_bench.py; BENCH_WINE=0
# leaves them out, BENCH_WINE_ARGS adds options such as --quick or
# --widths 64). Each table is also kept in OUT (default
# build/release/bench-results) for bench/plot.sh.
#   bench/run.sh [BUILD_DIR] [transfer options...]
set -euo pipefail

build=${1:-build/release}
shift || true
out=${BENCH_OUT:-$build/bench-results}
mkdir -p "$out"

{
  echo "# machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
  echo "# load before: $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "# date: $(date -u +%Y-%m-%dT%H:%M:%SZ)"
} | tee "$out/machine.txt"

echo
"$build/bench/pixlor-bench-transfer" "$@" | tee "$out/transfer.txt"
echo
"$build/bench/pixlor-bench-open" | tee "$out/open.txt"
echo
"$build/bench/pixlor-bench-listing" --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true | tee "$out/listing.txt"
if [ "${BENCH_WINE:-1}" != 0 ]; then
  here=$(cd "$(dirname "$0")" && pwd)
  echo
  # shellcheck disable=SC2086 # BENCH_WINE_ARGS is a list of options
  "$here/wine_bench.py" --build "$build" --no-open ${BENCH_WINE_ARGS:-} | tee "$out/wine-transfer.txt"
  echo
  # shellcheck disable=SC2086
  "$here/wine_bench.py" --build "$build" --no-transfer ${BENCH_WINE_ARGS:-} | tee "$out/wine-open.txt"
fi
echo
echo "# load after: $(cut -d' ' -f1-3 /proc/loadavg)" | tee -a "$out/machine.txt"
