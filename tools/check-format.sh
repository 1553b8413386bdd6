#!/usr/bin/env bash
# Checks that every C++ source and header of the tree matches .clang-format
# (clang-format 14); prints the offending places and exits 1 when one does
# not. `clang-format -i FILE` fixes a file.
set -euo pipefail
cd "$(dirname "$0")/.."
format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$format" ]; then
  echo "check-format: clang-format-14 is not installed (tools/install-deps.sh installs it)" >&2
  exit 1
fi
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
else
  mapfile -t files < <(find apps bench models src tests -name '*.cpp' -o -name '*.h' | sort)
fi
existing=()
for f in "${files[@]}"; do [ -f "$f" ] && existing+=("$f"); done
"$format" --dry-run -Werror "${existing[@]}"
echo "check-format: ${#existing[@]} files match .clang-format"
