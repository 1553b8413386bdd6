#!/usr/bin/env bash
# Installs the build into a fresh prefix, builds the built-in model file in a
# project of its own against that prefix alone (find_package(Velmor) and
# velmor_add_model), and checks its results file against the golden run;
# then the same through `velmor build`. Usage: install-and-build.sh BUILDDIR SRCDIR
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
mkdir "$work/project"
cp "$src/models/redundant_controller_flash/redundant_controller_flash.vm" "$work/project/rcf.vm"
cat >"$work/project/CMakeLists.txt" <<'CM'
cmake_minimum_required(VERSION 3.25)
project(user CXX)
find_package(Velmor REQUIRED)
velmor_add_model(NAME rcf MODEL rcf.vm)
CM
cmake -S "$work/project" -B "$work/project/b" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$work/prefix" >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
cmake --build "$work/project/b" >>"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
golden="$src/tests/e2e/golden/builtin/exp5"
(cd "$work" && env -u SIMTEST "$work/project/b/rcf_sim" -e 4 -N 300 -n 100 -a r.ascii -b r.bin >/dev/null 2>&1)
cmp "$work/r.ascii" "$golden/file.r.ascii"
cmp "$work/r.bin" "$golden/file.r.bin"
# velmor build, from the installed tool; it prints the simulator's path.
sim=$(cd "$work" && "$work/prefix/bin/velmor" build "$work/project/rcf.vm" -o "$work/vb")
[[ "$sim" == "$work/vb/redundant_controller_flash_sim" ]] || { echo "printed: $sim"; exit 1; }
rm -f "$work/r.ascii"
(cd "$work" && env -u SIMTEST "$sim" -e 4 -N 300 -n 100 -a r.ascii >/dev/null 2>&1)
cmp "$work/r.ascii" "$golden/file.r.ascii"
echo "installed package and velmor build reproduce the golden run"
