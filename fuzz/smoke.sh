#!/usr/bin/env bash
# A short fuzz run: fuzzer, working corpus folder, seed folder, seconds, and
# optionally the largest single allocation in MB (a larger one is a failure;
# by default the memory limit of the whole run).
# Prints the number of executions so that the run's size is on record.
set -euo pipefail
fuzzer=$1 work=$2 seeds=$3 seconds=$4 rss_mb=2048
malloc_mb=${5:-$rss_mb}
mkdir -p "$work"
args=("$work")
[ -d "$seeds" ] && args+=("$seeds")
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb="$rss_mb" \
     -malloc_limit_mb="$malloc_mb" -print_final_stats=1 -artifact_prefix="$work/" \
     "${args[@]}" >"$log" 2>&1; then
  tail -n 60 "$log"
  exit 1
fi
grep -E 'stat::number_of_executed_units' "$log" | sed "s|^|$(basename "$fuzzer"): |"
