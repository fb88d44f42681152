#!/usr/bin/env bash
# Runs fuzz targets of the fuzzing build side by side, each for the given number of seconds, at
# the lowest CPU priority. Each target's working corpus is under BUILD/corpus/TARGET (seeded from
# tests/fuzz/corpus/TARGET), its log BUILD/logs/TARGET.log; crashes land in BUILD/crashes/.
# Usage: run-fuzz.sh BUILD SECONDS [TARGET...]   (no target: all of them)
set -uo pipefail
build=$1 seconds=$2
shift 2
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_codec fuzz_links fuzz_index fuzz_records fuzz_shop_detail fuzz_demo_share)
seeds=$(dirname "$0")/../tests/fuzz/corpus
mkdir -p "$build/logs" "$build/crashes"
pids=()
for t in "${targets[@]}"; do
    mkdir -p "$build/corpus/$t"
    nice -n 19 "$build/tests/fuzz/$t" -max_total_time="$seconds" -timeout=300 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/crashes/$t-" \
        "$build/corpus/$t" "$seeds/$t" >"$build/logs/$t.log" 2>&1 &
    pids+=($!)
done
status=0
for i in "${!pids[@]}"; do
    if ! wait "${pids[$i]}"; then
        echo "${targets[$i]}: FAILED (see $build/logs/${targets[$i]}.log)"
        status=1
    fi
done
for t in "${targets[@]}"; do
    echo "$t: $(grep -E '^#[0-9]+.*(DONE|cov:)' "$build/logs/$t.log" | tail -1)"
done
exit $status
