#!/bin/sh
# Fuzzing in depth: every libFuzzer target of the fuzz tree, each from its
# stored corpus to 10 million executions or SECONDS seconds, whichever comes
# first, then what it found that reaches new edges is merged into the corpus
# (tests/fuzz/corpus/<target>). Prints executions, coverage, corpus and time
# per target. Usage: scripts/fuzz-deep.sh [build/fuzz/tests/fuzz] [SECONDS]
# (TARGETS="fuzz_a fuzz_b" runs only those).
set -eu
bin=${1:-build/fuzz/tests/fuzz}
seconds=${2:-${SECONDS_PER_TARGET:-210}}
runs=10000000
root=$(cd "$(dirname "$0")/.." && pwd)
corpus_root=$root/tests/fuzz/corpus
work=$bin/deep
export ASAN_OPTIONS=allocator_may_return_null=1
printf '%-22s %10s %8s %12s %8s %8s %7s\n' target executions exec/s "cov/ft" corpus added seconds
failed=0
all="fuzz_link_answers fuzz_link_reception fuzz_expand_template fuzz_regfile fuzz_language_file
     fuzz_host_script fuzz_settings_store"
for target in ${TARGETS:-$all}; do
  rm -rf "$work/$target" && mkdir -p "$work/$target" "$corpus_root/$target"
  log=$work/$target.log
  before=$(ls "$corpus_root/$target" | wc -l)
  start=$(date +%s)
  if ! nice -n 19 "$bin/$target" -runs=$runs -max_total_time="$seconds" -rss_limit_mb=1024 \
       -timeout=10 -print_final_stats=1 -artifact_prefix="$work/$target-" \
       "$work/$target" "$corpus_root/$target" >"$log" 2>&1; then
    echo "$target: CRASH (see $log and $work/$target-*)"
    failed=1
    continue
  fi
  end=$(date +%s)
  # Only inputs that reach an edge the corpus does not: a small corpus.
  nice -n 19 "$bin/$target" -merge=1 -use_counters=0 "$corpus_root/$target" "$work/$target" \
    >"$log.merge" 2>&1
  after=$(ls "$corpus_root/$target" | wc -l)
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  cov=$(grep -E '#[0-9]+.*(DONE|pulse|NEW|REDUCE).*cov:' "$log" | tail -1 |
        sed -E 's/.*cov: ([0-9]+) ft: ([0-9]+).*/\1\/\2/')
  printf '%-22s %10s %8s %12s %8s %8s %7s\n' "$target" "$execs" "$rate" "$cov" "$after" \
    "+$((after - before))" "$((end - start))"
done
exit $failed
