#!/bin/bash
# The bilevel masks of every page of a document, ours against ddjvu's, as
# whole processes writing the same PBM files.
#   scripts/bench-mask.sh DOCUMENT [RUNS]
set -euo pipefail
document=$1
runs=${2:-5}
ours=${VYRDDJVU:-build/native/bin/vyrddjvu}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
echo -n "$(basename "$document"): "
"$(dirname "$0")/bench-pair.sh" "$runs" \
    "ddjvu -mode=mask -format=pbm -subsample=1 -eachpage '$document' '$out/p%d.pbm'" \
    "'$ours' render '$document' '$out/p%d.pbm' --page=all --layer=mask"
