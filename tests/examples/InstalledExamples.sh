#!/usr/bin/env bash
# Installs a build tree into a fresh prefix, then configures, builds and runs
# every examples/* project against that prefix alone. Each simulator built
# this way must write the same results file as the build tree's simulator of
# the same example, for the same options and seed.
#
# Usage: InstalledExamples.sh BUILD_DIR EXAMPLES_DIR CXX_COMPILER
set -euo pipefail
build=$1
examples=$2
compiler=$3

work=$(mktemp -d "${TMPDIR:-/tmp}/velmor_installed_examples.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

fail() {
  echo "FAILED: $1" >&2
  [ -n "${2:-}" ] && [ -f "$2" ] && tail -n 40 "$2" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1 ||
  fail "cmake --install $build" "$work/install.log"

options=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$compiler"
         -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
         -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF)
if command -v ccache > /dev/null; then options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

count=0
for dir in "$examples"/*/; do
  name=$(basename "$dir")
  [ -f "$dir/CMakeLists.txt" ] || continue
  out="$work/$name"
  cmake -S "$dir" -B "$out" "${options[@]}" > "$out.configure.log" 2>&1 ||
    fail "configuring $name against $prefix" "$out.configure.log"
  found=$(sed -n 's/^Velmor_DIR:PATH=//p' "$out/CMakeCache.txt")
  case "$found" in
    "$prefix"/*) ;;
    *) fail "$name found Velmor at '$found', not under $prefix" ;;
  esac
  cmake --build "$out" > "$out.build.log" 2>&1 || fail "building $name" "$out.build.log"
  [ -x "$out/${name}_sim" ] || fail "$name: no ${name}_sim in $out"
  mkdir -p "$out/run-installed" "$out/run-tree"
  args=(-N 20 -s 2718 -a results.txt)
  (cd "$out/run-installed" && "$out/${name}_sim" "${args[@]}" > stdout.txt 2>&1) ||
    fail "$name: the installed-prefix simulator failed" "$out/run-installed/stdout.txt"
  (cd "$out/run-tree" && "$build/bin/${name}_sim" "${args[@]}" > stdout.txt 2>&1) ||
    fail "$name: the build tree's simulator failed" "$out/run-tree/stdout.txt"
  lines=$(wc -l < "$out/run-installed/results.txt")
  [ "$lines" -gt 2 ] || fail "$name: no observations in the results file"
  cmp "$out/run-installed/results.txt" "$out/run-tree/results.txt" ||
    fail "$name: results differ between the installed-prefix and the build tree's simulator"
  echo "$name: built against $prefix, $((lines - 2)) observations, same as the build tree"
  count=$((count + 1))
done
[ "$count" -ge 5 ] || fail "only $count example projects found under $examples"
echo "$count example projects built and run against the installed prefix"
