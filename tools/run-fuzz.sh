#!/usr/bin/env bash
# Runs every libFuzzer target of build-fuzz for FUZZ_SECONDS (default 60)
# each, starting from the committed seeds in fuzz/corpus/<name>. The working
# corpus grows in build-fuzz/fuzz/corpus/<name>; crash inputs are left in
# build-fuzz/fuzz/artifacts/<name>/. Exits non-zero when any target fails.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
dir=build-fuzz/fuzz
[ -f "$dir/targets.txt" ] || { echo "no fuzz targets built (run: make fuzz)" >&2; exit 1; }
status=0
count=0
while read -r name; do
  [ -n "$name" ] || continue
  count=$((count + 1))
  corpus="$dir/corpus/$name"
  artifacts="$dir/artifacts/$name"
  work="$dir/work/$name"  # the fuzzed code may write files: keep them here
  mkdir -p "$corpus" "$artifacts" "$work"
  echo "== fuzz_$name: ${seconds} s"
  if ! (cd "$work" && "../../fuzz_$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
          -print_final_stats=1 -artifact_prefix="../../artifacts/$name/" \
          "../../corpus/$name" "../../../../fuzz/corpus/$name" > "../../$name.log" 2>&1); then
    echo "!! fuzz_$name failed; see $dir/$name.log and $artifacts" >&2
    tail -40 "$dir/$name.log" >&2
    status=1
  else
    grep -E "stat::number_of_executed_units|stat::new_units_added" "$dir/$name.log" | tr '\n' ' '
    echo
  fi
done < "$dir/targets.txt"
echo "$count fuzz targets run"
exit $status
