#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
set -euo pipefail
need=()
for pkg in cmake ninja-build g++ clang-14 clang-format-14 libgtest-dev libgmock-dev googletest libbenchmark-dev \
  libcli11-dev nlohmann-json3-dev gnuplot-nox munge slurm-wlm slurmctld slurmd slurm-client \
  libfuzzer-14-dev libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || need+=("$pkg")
done
if [ ${#need[@]} -gt 0 ]; then
  echo "Installing: ${need[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${need[@]}"
fi
