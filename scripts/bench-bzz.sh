#!/bin/bash
# BZZ decompression, ours against DjVuLibre's, as whole processes writing the
# same output. Runs the two alternately and reports the best time of each,
# which is the least disturbed by whatever else the machine does.
#   scripts/bench-bzz.sh STREAM [RUNS]
# Make a stream with e.g.: bzz -e input.txt stream.bzz
set -euo pipefail
stream=$1
runs=${2:-15}
ours=${VYRDDJVU:-build/native/bin/vyrddjvu}
out=$(mktemp)
trap 'rm -f "$out"' EXIT

best() { # best of a list of nanosecond times, in milliseconds
    printf '%s\n' "$@" | sort -n | head -1 | awk '{ printf "%.1f", $1 / 1e6 }'
}
theirs_times=()
ours_times=()
for ((i = 0; i < runs; i++)); do
    t0=$(date +%s%N)
    bzz -d "$stream" "$out"
    t1=$(date +%s%N)
    "$ours" bzz "$stream" "$out"
    t2=$(date +%s%N)
    theirs_times+=($((t1 - t0)))
    ours_times+=($((t2 - t1)))
done
theirs=$(best "${theirs_times[@]}")
mine=$(best "${ours_times[@]}")
echo "$(basename "$stream"): bzz -d ${theirs} ms, vyrddjvu bzz ${mine} ms, ratio $(awk -v a="$theirs" -v b="$mine" 'BEGIN { printf "%.2f", a / b }')"
