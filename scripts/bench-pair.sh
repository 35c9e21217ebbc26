#!/bin/bash
# Times two shell commands that do the same work, as whole processes, run
# alternately; reports the best time of each (the least disturbed by whatever
# else the machine does) and the ratio.
#   scripts/bench-pair.sh RUNS "THEIR COMMAND" "OUR COMMAND"
set -euo pipefail
runs=$1
theirs_command=$2
ours_command=$3

best() { # best of a list of nanosecond times, in milliseconds
    printf '%s\n' "$@" | sort -n | head -1 | awk '{ printf "%.1f", $1 / 1e6 }'
}
theirs_times=()
ours_times=()
for ((i = 0; i < runs; i++)); do
    t0=$(date +%s%N)
    bash -c "$theirs_command"
    t1=$(date +%s%N)
    bash -c "$ours_command"
    t2=$(date +%s%N)
    theirs_times+=($((t1 - t0)))
    ours_times+=($((t2 - t1)))
done
theirs=$(best "${theirs_times[@]}")
mine=$(best "${ours_times[@]}")
echo "DjVuLibre ${theirs} ms, vyrddjvu ${mine} ms, ratio $(awk -v a="$theirs" -v b="$mine" 'BEGIN { printf "%.2f", a / b }')"
