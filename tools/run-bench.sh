#!/usr/bin/env bash
# Speed: Google Benchmark micro-benchmarks, then whole runs of experiments 1
# and 9 side by side with the hand-coded yardstick, alternating the two.
# Environment: REPS (default 20000), ROUNDS (default 3).
set -euo pipefail
cd "$(dirname "$0")/.."
reps=${REPS:-20000}
rounds=${ROUNDS:-3}
sim=build/bin/redundant_controller_flash_sim
yardstick=../shared/bench/handcoded-rcf

if [ -x build/bin/velmor_bench ]; then
  build/bin/velmor_bench --benchmark_min_time=0.2
  echo
fi

median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
now() { date +%s.%N; }
calc() { awk "BEGIN { print $1 }"; }

echo "Whole runs, -N $reps, $rounds alternating rounds, median wall-clock seconds"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
for exp in 0 8; do
  ours=() theirs=() fired=0
  for r in $(seq "$rounds"); do
    if [ -x "$yardstick" ]; then
      t0=$(now); "$yardstick" "$exp" "$reps" >/dev/null; t1=$(now)
      theirs+=("$(calc "$t1 - $t0")")
    fi
    t0=$(now); out=$("$sim" -e "$exp" -N "$reps"); t1=$(now)
    ours+=("$(calc "$t1 - $t0")")
    fired=$(echo "$out" | sed -n 's/^Actions fired: //p')
  done
  o=$(printf '%s\n' "${ours[@]}" | median)
  printf 'experiment %d: velmor %.3f s, %.0f replications/s, %.0f firings/s\n' \
    $((exp + 1)) "$o" "$(calc "$reps / $o")" "$(calc "$fired / $o")"
  if [ ${#theirs[@]} -gt 0 ]; then
    h=$(printf '%s\n' "${theirs[@]}" | median)
    printf '              yardstick %.3f s; velmor takes %.1f times as long\n' "$h" "$(calc "$o / $h")"
  fi
done
