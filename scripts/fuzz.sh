#!/usr/bin/env bash
# Runs each fuzz target of fuzz/ for a bounded time (FUZZ_SECONDS, default 20) from its
# seeds in fuzz/corpus/<target>/, on the build of scripts/sanitize.sh. An input that breaks
# a target is kept as build-sanitize/fuzz-findings/<target>-crash-..., and the run fails.
# New inputs found along the way go to a temporary folder, not into the repository.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
seconds=${FUZZ_SECONDS:-20}
[ -d build-sanitize ] || "$top/scripts/sanitize.sh"
targets=(number_text_fuzz date_text_fuzz jet_sql_fuzz ini_text_fuzz data_file_text_fuzz
         taeg_flows_fuzz)
cmake --build build-sanitize -j"$(nproc)" --target "${targets[@]}"

source "$top/scripts/sanitizer-options.sh"
findings="$top/build-sanitize/fuzz-findings"
mkdir -p "$findings"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in "${targets[@]}"; do
    echo "== $target: ${seconds} s"
    mkdir -p "$work/$target"
    "build-sanitize/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/$target-" \
        "$work/$target" "fuzz/corpus/$target"
done
