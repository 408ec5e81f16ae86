#!/usr/bin/env bash
# Throughput against line speed, one line per packet size, beside the line
# limit (speed / 10 B/s), from a transfer table of bench/run.sh.
#   bench/plot.sh [TRANSFER_TABLE] [PNG]
set -euo pipefail

table=${1:-build/release/bench-results/transfer.txt}
png=${2:-docs/performance-transfer.png}
data=$(mktemp)
trap 'rm -f "$data"' EXIT
# speed packet bytes best_s median_s best_B/s line_% ...: keep speed, packet, B/s.
grep -v '^#' "$table" | awk 'NF >= 6 && $1 ~ /^[0-9]+$/ { print $1, $2, $6 }' >"$data"

gnuplot <<GNUPLOT
set terminal pngcairo size 900,600 font ",11"
set output "$png"
set title "Download over the paced emulator: throughput against line speed"
set xlabel "line speed (bit/s)"
set ylabel "bytes a second"
set logscale xy
set xtics ("9600" 9600, "19200" 19200, "38400" 38400, "57600" 57600, "115200" 115200)
set key top left
set grid
plot [8000:140000] \
  x / 10 title "line limit (speed / 10)" with lines dashtype 2 linewidth 2 lc rgb "black", \
  "$data" using (\$2 == 512 ? \$1 : 1/0):3 title "512-byte packets" with linespoints pt 7, \
  "$data" using (\$2 == 1024 ? \$1 : 1/0):3 title "1024-byte packets" with linespoints pt 5, \
  "$data" using (\$2 == 2048 ? \$1 : 1/0):3 title "2048-byte packets" with linespoints pt 9, \
  "$data" using (\$2 == 4096 ? \$1 : 1/0):3 title "4096-byte packets" with linespoints pt 11
GNUPLOT
echo "wrote $png"
