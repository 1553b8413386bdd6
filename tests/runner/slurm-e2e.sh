#!/usr/bin/env bash
# End-to-end: a small study through a real single-node Slurm cluster
# (started here from Debian's packages, stopped at the end) gives the same
# summaries as the local launcher with the same seed, and leaves no job,
# simulator or daemon behind. Needs root and the slurm packages; exits 77
# (skipped) without them.
# Usage: slurm-e2e.sh VELMOR SIM
set -uo pipefail
velmor=${1:?velmor}
sim=${2:?simulator}
here=$(cd "$(dirname "$0")" && pwd)
cluster=$here/../../tools/slurm-cluster.sh
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: the Slurm test starts daemons and must run as root"
  exit 77
fi
for tool in munged slurmctld slurmd srun sinfo scancel; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (tools/install-deps.sh installs it)"
    exit 77
  fi
done
work=$(mktemp -d /tmp/velmor-slurm.XXXXXX)
cleanup() {
  "$cluster" stop "$work/cluster" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  for log in "$work"/cluster/*.log; do [ -f "$log" ] && { echo "== $log"; tail -20 "$log"; }; done
  exit 1
}

conf=$("$cluster" start "$work/cluster") || fail "the cluster did not start"
export "$conf"
study=(run "$sim" --rel-precision 0.1 --block-size 100 --seed 11 --jobs 2 --no-plots)
"$velmor" "${study[@]}" --out "$work/local" >"$work/local.out" 2>"$work/local.err" ||
  fail "local run: $(cat "$work/local.err")"
"$velmor" "${study[@]}" --launcher slurm --partition velmor --time-limit 5 --out "$work/slurm" \
  >"$work/slurm.out" 2>"$work/slurm.err" || fail "slurm run: $(cat "$work/slurm.err")"
cmp "$work/local/summary.csv" "$work/slurm/summary.csv" || fail "summary.csv differs"
cmp "$work/local/summary.json" "$work/slurm/summary.json" || fail "summary.json differs"
cmp "$work/local.out" "$work/slurm.out" || fail "the tables differ"
grep -q '"launcher": "slurm"' "$work/slurm/manifest.json" || fail "manifest does not name the launcher"
host=$(hostname -s)
grep -q "\"node\": \"$host\"" "$work/slurm/manifest.json" || fail "manifest does not name the node"
# Cancelled jobs leave the queue once their node has cleaned up.
for _ in $(seq 600); do
  [ "$(squeue -h | wc -l)" -eq 0 ] && break
  sleep 0.1
done
jobs_left=$(squeue -h | wc -l)
[ "$jobs_left" -eq 0 ] || fail "$jobs_left job(s) left in the queue: $(squeue)"
if pgrep -f "$sim -w" >/dev/null; then fail "a simulator is still running"; fi
"$cluster" stop "$work/cluster"
for pidfile in slurmd.pid slurmctld.pid munge/munged.pid; do
  [ ! -f "$work/cluster/$pidfile" ] || fail "$pidfile left"
done
echo "slurm and local runs agree"
