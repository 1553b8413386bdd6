#!/usr/bin/env bash
# Runs every experiment of a model's study (the model's pvtypes tool tells
# how many there are), two at a time, writes the results files under
# results/ and prints the estimates.
# Environment: REPS (replications per experiment, default 10000),
#              MODEL (default redundant_controller_flash), JOBS (default 2).
set -euo pipefail
cd "$(dirname "$0")/.."
model=${MODEL:-redundant_controller_flash}
reps=${REPS:-10000}
jobs=${JOBS:-2}
sim=build/bin/${model}_sim
pvtypes=build/bin/${model}_pvtypes
out=results
mkdir -p "$out"
rm -f "$out"/exp*.ascii "$out"/exp*.bin "$out"/exp*.log

count=$("$pvtypes" --experiments)
experiments=$(seq 0 $(( count - 1 )))
echo "Running $count experiments of $model, $reps replications each, $jobs at a time..."
start=$(date +%s)
run_one() {
  local e=$1 n=$(( $1 + 1 ))
  if "$sim" -e "$e" -N "$reps" -a "$out/exp$n.ascii" -b "$out/exp$n.bin" >"$out/exp$n.log" 2>&1; then
    echo "  Experiment $n done ($(grep -m1 '^Actions fired' "$out/exp$n.log"))"
  else
    echo "  Experiment $n FAILED, see $out/exp$n.log"
    return 1
  fi
}
export -f run_one
export sim out reps
printf '%s\n' $experiments | xargs -P "$jobs" -I{} bash -c 'run_one {}'
echo "All experiments done in $(( $(date +%s) - start )) s; results in $out/"
echo

"$pvtypes" "$out/pvtypes.txt"
names=(--pvtypes "$out/pvtypes.txt")
files=()
for e in $experiments; do files+=("$out/exp$(( e + 1 )).bin"); done
build/bin/velmor-results "${names[@]}" "${files[@]}"
