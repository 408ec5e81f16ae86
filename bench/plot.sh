#!/usr/bin/env bash
# Throughput against line speed, one line per packet size, beside the line
# limit (speed / 10 B/s), from a transfer table of bench/run.sh; below it the
# same as a share of the line limit; with the Wine table of bench/run.sh, the
# real DLLs' 2048-byte packets beside them (the 32-bit one's line, the 64-bit
# one's goal cell).
#   bench/plot.sh [TRANSFER_TABLE] [PNG] [WINE_TRANSFER_TABLE]
set -euo pipefail

table=${1:-build/release/bench-results/transfer.txt}
png=${2:-docs/performance-transfer.png}
wine_table=${3:-$(dirname "$table")/wine-transfer.txt}
data=$(mktemp)
wine=$(mktemp)
wine64=$(mktemp)
trap 'rm -f "$data" "$wine" "$wine64"' EXIT
# Columns: speed packet bytes best_s median_s best_B/s line_% ...; one data
# block per packet size (gnuplot's index), in the order 512, 1024, 2048, 4096.
grep -v '^#' "$table" | awk 'NF >= 7 && $1 ~ /^[0-9]+$/ { print $2, $1, $6, $7 }' |
  sort -n -k1,1 -k2,2 |
  awk 'NR > 1 && $1 != last { printf "\n\n" } { print $2, $3, $4; last = $1 }' >"$data"
wine_plot=
wine_share=
if [ -f "$wine_table" ]; then
  # Columns: bits speed packet bytes best_s median_s best_B/s line_% ...
  for bits in 32 64; do
    out=$wine
    [ $bits = 64 ] && out=$wine64
    grep -v '^#' "$wine_table" |
      awk -v bits=$bits 'NF >= 8 && $1 == bits && $3 == 2048 { print $2, $7, $8 }' | sort -n >"$out"
  done
  if [ -s "$wine" ]; then
    wine_plot=", \"$wine\" using 1:2 title \"32-bit Pixlor.dll under Wine, 2048-byte packets\" with linespoints pt 4 ps 1.5 dashtype 4 lc rgb \"black\""
    wine_share=", \"$wine\" using 1:3 title \"32-bit Pixlor.dll under Wine, 2048-byte packets\" with linespoints pt 4 ps 1.5 dashtype 4 lc rgb \"black\""
  fi
  if [ -s "$wine64" ]; then
    wine_plot+=", \"$wine64\" using 1:2 title \"64-bit Pixlor.dll under 64-bit Wine\" with points pt 6 ps 2 lc rgb \"black\""
    wine_share+=", \"$wine64\" using 1:3 title \"64-bit Pixlor.dll under 64-bit Wine\" with points pt 6 ps 2 lc rgb \"black\""
  fi
fi

gnuplot <<GNUPLOT
set terminal pngcairo size 900,900 font ",11"
set output "$png"
set multiplot layout 2,1 title "Download over the paced emulator (the real port, link and camera)"
set logscale x
set xrange [8000:140000]
set xtics ("9600" 9600, "19200" 19200, "38400" 38400, "57600" 57600, "115200" 115200)
set grid
set key top left
set logscale y
set ylabel "bytes a second"
plot x / 10 title "line limit (speed / 10)" with lines dashtype 2 linewidth 2 lc rgb "black", \
  "$data" index 0 using 1:2 title "512-byte packets" with linespoints pt 7 lc rgb "#1b9e77", \
  "$data" index 1 using 1:2 title "1024-byte packets" with linespoints pt 5 lc rgb "#d95f02", \
  "$data" index 2 using 1:2 title "2048-byte packets" with linespoints pt 9 lc rgb "#7570b3", \
  "$data" index 3 using 1:2 title "4096-byte packets" with linespoints pt 11 lc rgb "#e7298a"$wine_plot
unset logscale y
set ylabel "share of the line limit (%)"
set xlabel "line speed (bit/s)"
set yrange [96:100.5]
set key bottom left
plot 100 title "line limit" with lines dashtype 2 linewidth 2 lc rgb "black", \
  97 title "goal at 115200 bit/s, 2048-byte packets" with lines dashtype 3 lc rgb "red", \
  "$data" index 0 using 1:3 title "512-byte packets" with linespoints pt 7 lc rgb "#1b9e77", \
  "$data" index 1 using 1:3 title "1024-byte packets" with linespoints pt 5 lc rgb "#d95f02", \
  "$data" index 2 using 1:3 title "2048-byte packets" with linespoints pt 9 lc rgb "#7570b3", \
  "$data" index 3 using 1:3 title "4096-byte packets" with linespoints pt 11 lc rgb "#e7298a"$wine_share
unset multiplot
GNUPLOT
echo "wrote $png"
