#!/bin/bash
# BZZ decompression, ours against DjVuLibre's, as whole processes writing the
# same output.
#   scripts/bench-bzz.sh STREAM [RUNS]
# Make a stream with e.g.: bzz -e input.txt stream.bzz
set -euo pipefail
stream=$1
runs=${2:-15}
ours=${VYRDDJVU:-build/native/bin/vyrddjvu}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
echo -n "$(basename "$stream"): "
"$(dirname "$0")/bench-pair.sh" "$runs" "bzz -d '$stream' '$out'" "'$ours' bzz '$stream' '$out'"
