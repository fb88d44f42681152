#!/usr/bin/env bash
# Runs fuzz targets of the fuzzing build one after another, each for the given number of seconds
# on two workers (libFuzzer's fork mode; FUZZ_WORKERS=1: one, in-process), at the lowest CPU
# priority. Each target's working corpus is under BUILD/corpus/TARGET (seeded from
# tests/fuzz/corpus/TARGET), its log BUILD/logs/TARGET.log; crashes, and inputs that run longer
# than a minute, land in BUILD/crashes/.
# Usage: run-fuzz.sh BUILD SECONDS [TARGET...]   (no target: all of them)
set -uo pipefail
build=$1 seconds=$2
shift 2
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_codec fuzz_links fuzz_index fuzz_records fuzz_shop_detail
    fuzz_demo_share fuzz_settings fuzz_credentials fuzz_csv fuzz_json)
workers=${FUZZ_WORKERS:-2}
seeds=$(dirname "$0")/../tests/fuzz/corpus
mkdir -p "$build/logs" "$build/crashes"
status=0
for t in "${targets[@]}"; do
    mkdir -p "$build/corpus/$t"
    # One worker runs in-process: fork mode would start the target afresh for every job.
    mode=-fork="$workers"
    [ "$workers" -le 1 ] && mode=-runs=-1
    if ! nice -n 19 "$build/tests/fuzz/$t" "$mode" -max_total_time="$seconds" \
        -timeout=60 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/crashes/$t-" "$build/corpus/$t" "$seeds/$t" \
        >"$build/logs/$t.log" 2>&1; then
        echo "$t: FAILED (see $build/logs/$t.log)"
        status=1
    fi
    echo "$t: $(grep -E '^#[0-9]+.*(DONE|cov:)' "$build/logs/$t.log" | tail -1)"
done
exit $status
