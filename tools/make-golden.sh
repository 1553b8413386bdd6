#!/usr/bin/env bash
# Regenerates the golden runs of a simulator: tools/make-golden.sh BINDIR
# CASEDIR MODEL runs every case of CASEDIR/cases.txt with BINDIR/MODEL_sim
# (or MODEL_pvtypes) in a scratch folder and stores what it left in
# CASEDIR/<case>/: the files it wrote, stdout, stderr (without the timing
# lines: CPU time, connectivity-list time) and status. Only for deliberate
# changes of the output.
set -euo pipefail
bindir=$(cd "$1" && pwd)
casedir=$(cd "$2" && pwd)
model=$3
while IFS=$'\t' read -r name program simtest args; do
  [[ -z "$name" || "$name" == \#* ]] && continue
  out="$casedir/$name"
  rm -rf "$out"
  mkdir -p "$out"
  scratch=$(mktemp -d)
  exe="$bindir/${model}_$program"
  status=0
  # shellcheck disable=SC2086
  if [[ "$simtest" == "-" ]]; then
    (cd "$scratch" && env -u SIMTEST "$exe" $args >stdout.raw 2>stderr.raw) || status=$?
  else
    (cd "$scratch" && SIMTEST="$simtest" "$exe" $args >stdout.raw 2>stderr.raw) || status=$?
  fi
  grep -v -e '^CPU time (s): ' -e '^GenerateConnectivityList() Time=' "$scratch/stdout.raw" >"$out/stdout" || true
  grep -v -e '^CPU time (s): ' -e '^GenerateConnectivityList() Time=' "$scratch/stderr.raw" >"$out/stderr" || true
  rm "$scratch/stdout.raw" "$scratch/stderr.raw"
  echo "$status" >"$out/status"
  for f in "$scratch"/*; do
    [[ -e "$f" ]] && mv "$f" "$out/file.$(basename "$f")"
  done
  rmdir "$scratch"
done <"$casedir/cases.txt"
