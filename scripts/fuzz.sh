#!/usr/bin/env bash
# Runs each fuzzer (settings, wsjtx, xmlrpc) for FUZZ_SECONDS (60) from its seed corpus and what
# earlier runs kept, then prints how many inputs it ran and what it found. A finding fails the
# run; the input that caused it is left in the build folder, ready for a regression test.
# Usage: scripts/fuzz.sh <fuzz build dir>
set -uo pipefail

build=$(realpath "${1:?usage: $0 <fuzz build dir>}")
seeds="$(dirname "$(realpath "$0")")/../fuzz/corpus"
failed=0

for name in settings wsjtx xmlrpc; do
    log="$build/$name.log" kept="$build/corpus/$name"
    mkdir -p "$kept"
    "$build/${name}_fuzzer" -max_total_time="${FUZZ_SECONDS:-60}" -print_final_stats=1 \
        -artifact_prefix="$build/$name-" "$kept" "$seeds/$name" >"$log" 2>&1
    status=$?
    executions=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log")
    if ((status != 0)); then
        tail -n 40 "$log"
        echo "FAIL: the $name fuzzer found a fault after ${executions:-?} inputs (log: $log)"
        failed=1
        continue
    fi
    echo "The $name fuzzer: ${executions:-?} inputs in ${FUZZ_SECONDS:-60} s, no finding" \
        "($(find "$kept" -type f | wc -l) inputs kept in $kept)"
done
exit "$failed"
