#!/usr/bin/env bash
# Runs one fuzzer for SECONDS on a working corpus in the build folder, grown from the seeds.
# Usage: run-fuzzer.sh FUZZER SECONDS SEEDS WORK
set -eu
fuzzer=$1 seconds=$2 seeds=$3 work=$4
mkdir -p "$work" "$work-crashes"
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work-crashes/" "$work" "$seeds" 2>"$work.log" || { tail -40 "$work.log"; exit 1; }
grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)|cov: ' "$work.log" | tail -3
