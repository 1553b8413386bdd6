#!/usr/bin/env bash
# Speed: Google Benchmark micro-benchmarks, then whole runs of experiments 1
# and 9 (-e 0 and -e 8) side by side with the hand-coded yardstick,
# alternating the two, and the ratio of our time to the yardstick's.
# Environment: BUILD (build folder, default build), REPS (default 20000),
# ROUNDS (default 3), TARGET (largest acceptable ratio, default 15),
# MICRO=0 skips the micro-benchmarks. Then the generator's time and, with
# BASELINE, a comparison with another simulator of the built-in model.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
reps=${REPS:-20000}
rounds=${ROUNDS:-3}
target=${TARGET:-15}
sim=$build/bin/redundant_controller_flash_sim
bench=$build/bin/velmor_bench
yardstick=../shared/bench/handcoded-rcf

if [ ! -x "$sim" ]; then
  echo "run-bench: $sim not found; build it first (cmake --preset release)" >&2
  exit 1
fi
if [ "${MICRO:-1}" != 0 ] && [ -x "$bench" ]; then
  "$bench" --benchmark_min_time=0.2
  echo
fi

median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
calc() { awk "BEGIN { print $1 }"; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# timed OUT CMD...: runs CMD with its standard output in OUT and appends
# "wall cpu" seconds (cpu = user + system) to $tmp/times.
timed() {
  local out=$1
  shift
  local TIMEFORMAT='%R %U %S'
  { time "$@" >"$out" 2>/dev/null; } 2>"$tmp/t"
  awk '{ print $1, $2 + $3 }' "$tmp/t" >>"$tmp/times"
}

echo "Whole runs, -N $reps, $rounds alternating rounds, median seconds"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')," \
  "load $(cut -d' ' -f1-3 /proc/loadavg)"
worst=0
for exp in 0 8; do
  : >"$tmp/ours" && : >"$tmp/theirs"
  fired=0 events=0
  for _ in $(seq "$rounds"); do
    if [ -x "$yardstick" ]; then
      : >"$tmp/times"
      timed "$tmp/yout" "$yardstick" "$exp" "$reps"
      cat "$tmp/times" >>"$tmp/theirs"
      events=$(sed -n 's/.* events=\([0-9]*\) .*/\1/p' "$tmp/yout")
    fi
    : >"$tmp/times"
    timed "$tmp/out" "$sim" -e "$exp" -N "$reps"
    cat "$tmp/times" >>"$tmp/ours"
    fired=$(sed -n 's/^Actions fired: //p' "$tmp/out")
  done
  wall=$(cut -d' ' -f1 "$tmp/ours" | median)
  cpu=$(cut -d' ' -f2 "$tmp/ours" | median)
  printf 'experiment %d (-e %d): velmor %.3f s wall, %.3f s cpu, %.0f replications/s, %.0f firings/s (%s firings)\n' \
    $((exp + 1)) "$exp" "$wall" "$cpu" "$(calc "$reps / $cpu")" "$(calc "$fired / $cpu")" "$fired"
  if [ -s "$tmp/theirs" ]; then
    hwall=$(cut -d' ' -f1 "$tmp/theirs" | median)
    hcpu=$(cut -d' ' -f2 "$tmp/theirs" | median)
    ratio=$(calc "$cpu / $hcpu")
    printf '              yardstick %.3f s wall, %.3f s cpu (%s events); ratio %.1f by cpu, %.1f by wall (target <= %s)\n' \
      "$hwall" "$hcpu" "$events" "$ratio" "$(calc "$wall / $hwall")" "$target"
    worst=$(calc "($ratio > $worst) ? $ratio : $worst")
  fi
done
if [ -x "$yardstick" ]; then
  if awk "BEGIN { exit !($worst <= $target) }"; then
    echo "within target: worst ratio $worst"
  else
    echo "OVER TARGET: worst ratio $worst > $target"
  fi
fi

# The generator on the built-in model file, median of 10 runs.
velmor=$build/bin/velmor
if [ -x "$velmor" ]; then
  : >"$tmp/times"
  for _ in $(seq 10); do
    timed "$tmp/gout" "$velmor" generate models/redundant_controller_flash/redundant_controller_flash.vm "$tmp/gen"
  done
  printf 'generator (velmor generate, built-in model): %.3f s wall\n' "$(cut -d' ' -f1 "$tmp/times" | median)"
fi

# BASELINE=<simulator of the same model> (for example one built from the
# hand-written model C++ this tree had before its model file): whole runs
# of -e 0 alternate with it, and the ratio of the medians is printed.
if [ -n "${BASELINE:-}" ] && [ -x "$BASELINE" ]; then
  : >"$tmp/ours" && : >"$tmp/base"
  for _ in $(seq "$rounds"); do
    : >"$tmp/times" && timed "$tmp/out" "$sim" -e 0 -N "$reps" && cat "$tmp/times" >>"$tmp/ours"
    : >"$tmp/times" && timed "$tmp/out" "$BASELINE" -e 0 -N "$reps" && cat "$tmp/times" >>"$tmp/base"
  done
  ours=$(cut -d' ' -f2 "$tmp/ours" | median)
  base=$(cut -d' ' -f2 "$tmp/base" | median)
  printf 'generated model %.3f s cpu, baseline %.3f s cpu: ratio %.3f\n' "$ours" "$base" \
    "$(calc "$ours / $base")"
fi

# The study runner: a fixed 40,000-replication study of experiment 1 with
# one job and with two, the speed-up of two over one (target >= 1.8 on two
# cores), the runner's own processor time against its simulators' (target
# under 2%), and the two summaries, which must be identical.
# STUDY=0 skips this part; STUDY_REPS changes the count.
velmor=$build/bin/velmor
if [ "${STUDY:-1}" != 0 ] && [ -x "$velmor" ]; then
  echo
  study_reps=${STUDY_REPS:-40000}
  echo "Study runner: $study_reps replications of experiment 1, blocks of 2000"
  echo "machine load $(cut -d' ' -f1-3 /proc/loadavg)"
  declare -A wall_of
  for jobs in 1 2; do
    : >"$tmp/times"
    timed "$tmp/study$jobs.out" "$velmor" run "$sim" --experiments 0 --replications "$study_reps" \
      --block-size 2000 --jobs "$jobs" --no-plots --out "$tmp/study$jobs"
    wall_of[$jobs]=$(cut -d' ' -f1 "$tmp/times")
    runner=$(sed -n 's/.*"runner_cpu_seconds": \([0-9.e-]*\).*/\1/p' "$tmp/study$jobs/manifest.json")
    sims=$(sed -n 's/.*"simulator_cpu_seconds": \([0-9.e-]*\).*/\1/p' "$tmp/study$jobs/manifest.json")
    printf '  --jobs %d: %.2f s wall; runner %.3f s cpu, simulators %.2f s cpu (runner %.2f%% of simulators, target < 2%%)\n' \
      "$jobs" "${wall_of[$jobs]}" "$runner" "$sims" "$(calc "100 * $runner / $sims")"
  done
  speedup=$(calc "${wall_of[1]} / ${wall_of[2]}")
  printf '  speed-up of 2 jobs over 1: %.2f (target >= 1.8)\n' "$speedup"
  if cmp -s "$tmp/study1/summary.csv" "$tmp/study2/summary.csv"; then
    echo "  summaries of 1 and 2 jobs identical"
  else
    echo "  SUMMARIES DIFFER between 1 and 2 jobs"
  fi
fi
