#!/usr/bin/env bash
# A single-node Slurm cluster on this machine, for tests: munged, slurmctld
# and slurmd from Debian's packages, configured in a folder of their own.
#   tools/slurm-cluster.sh start DIR   starts the daemons; prints the
#                                      SLURM_CONF line to export
#   tools/slurm-cluster.sh stop DIR    stops them and removes nothing else
# Needs root (the daemons run as root here). Ports are chosen free.
set -euo pipefail
cmd=${1:?usage: slurm-cluster.sh start|stop DIR}
dir=${2:?usage: slurm-cluster.sh start|stop DIR}

# A port nothing listens on, from the unprivileged range.
free_port() {
  local p
  while :; do
    p=$(( 20000 + RANDOM % 20000 ))
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then
      echo "$p"
      return
    fi
  done
}

stop_pid() {
  local f=$1
  [ -f "$f" ] || return 0
  local p
  p=$(cat "$f")
  if kill -0 "$p" 2>/dev/null; then
    kill "$p" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$p" 2>/dev/null || true
  fi
  rm -f "$f"
}

case "$cmd" in
start)
  mkdir -p "$dir"/state "$dir"/spool "$dir"/munge
  dir=$(cd "$dir" && pwd)
  host=$(hostname -s)
  cpus=$(nproc)
  mungekey --create --keyfile="$dir/munge/munge.key" --force >/dev/null 2>&1 ||
    dd if=/dev/urandom of="$dir/munge/munge.key" bs=1024 count=1 2>/dev/null
  chmod 600 "$dir/munge/munge.key"
  munged --force --key-file="$dir/munge/munge.key" --socket="$dir/munge/munge.socket" \
    --pid-file="$dir/munge/munged.pid" --log-file="$dir/munge/munged.log" \
    --seed-file="$dir/munge/munged.seed"
  cat >"$dir/slurm.conf" <<CONF
ClusterName=velmortest
SlurmctldHost=$host
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$dir/munge/munge.socket
CredType=cred/munge
SlurmctldPort=$(free_port)
SlurmdPort=$(free_port)
StateSaveLocation=$dir/state
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/slurmctld.pid
SlurmdPidFile=$dir/slurmd.pid
SlurmctldLogFile=$dir/slurmctld.log
SlurmdLogFile=$dir/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
SchedulerType=sched/builtin
MpiDefault=none
ReturnToService=2
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
NodeName=$host CPUs=$cpus State=UNKNOWN
PartitionName=velmor Nodes=ALL Default=YES MaxTime=INFINITE State=UP
CONF
  export SLURM_CONF=$dir/slurm.conf
  slurmctld -f "$dir/slurm.conf"
  slurmd -f "$dir/slurm.conf"
  for _ in $(seq 100); do
    if sinfo -h -o '%T' 2>/dev/null | grep -qE '^(idle|mixed|allocated)'; then
      echo "SLURM_CONF=$dir/slurm.conf"
      exit 0
    fi
    sleep 0.2
  done
  echo "slurm-cluster: the node did not become idle; see $dir/*.log" >&2
  sinfo >&2 || true
  exit 1
  ;;
stop)
  dir=$(cd "$dir" && pwd)
  if [ -f "$dir/slurm.conf" ]; then
    SLURM_CONF=$dir/slurm.conf scancel --quiet --user=root 2>/dev/null || true
  fi
  stop_pid "$dir/slurmd.pid"
  stop_pid "$dir/slurmctld.pid"
  stop_pid "$dir/munge/munged.pid"
  ;;
*)
  echo "usage: slurm-cluster.sh start|stop DIR" >&2
  exit 2
  ;;
esac
