#!/usr/bin/env bash
# `make run`: builds only the study runner and the built-in model's
# executables, then runs every experiment of the model's study to a
# relative precision of 1% (at most 200,000 replications each) on every
# core, prints the table and writes results/ (summaries, manifest, block
# files, plots). The number of experiments comes from the model's study.
# Environment: MODEL (default redundant_controller_flash), REL (default
#              0.01), MAX (default 200000), JOBS (default: every core),
#              OUT (default results).
set -euo pipefail
cd "$(dirname "$0")/.."
model=${MODEL:-redundant_controller_flash}
cmake --preset release >/dev/null
cmake --build --preset release --target velmor "${model}_sim" "${model}_pvtypes"
jobs=()
[ -n "${JOBS:-}" ] && jobs=(--jobs "$JOBS")
start=$(date +%s)
build/bin/velmor run "build/bin/${model}_sim" --rel-precision "${REL:-0.01}" \
  --max-replications "${MAX:-200000}" "${jobs[@]}" --out "${OUT:-results}" --force
echo "make run: $(( $(date +%s) - start )) s"
