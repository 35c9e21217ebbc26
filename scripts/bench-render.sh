#!/bin/bash
# Every page of a document composed at full resolution, ours against ddjvu's,
# as whole processes writing one PNM file per page, then the peak resident
# memory of one run of each (GNU time, from the Debian package "time").
#   scripts/bench-render.sh DOCUMENT [RUNS]
# ddjvu writes a PPM for every page. vyrddjvu writes a PPM for a colour page
# and a PBM (P4, one bit per pixel) for a bilevel one, as the reader hands out
# a bilevel raster for it; on documents with bilevel pages ours writes fewer
# bytes, which favours it in writing, not in decoding or composing.
# scripts/make-bench-documents.sh makes two documents to run this on.
set -euo pipefail
document=$1
runs=${2:-3}
ours=${VYRDDJVU:-build/native/bin/vyrddjvu}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
echo -n "$(basename "$document"): "
"$(dirname "$0")/bench-pair.sh" "$runs" \
    "ddjvu -format=ppm -subsample=1 -eachpage '$document' '$out/p%d.ppm'" \
    "'$ours' render '$document' '$out/p%d.ppm' --page=all"

if [ ! -x /usr/bin/time ]; then
    echo "peak memory: not measured (/usr/bin/time missing; scripts/setup.sh installs it)"
    exit 0
fi
peak_mb() { # peak_mb COMMAND...: the command's maximum resident set, in MB
    /usr/bin/time -f %M -o "$out/rss" "$@" >/dev/null
    awk '{ printf "%.1f", $1 / 1024 }' "$out/rss"
}
theirs=$(peak_mb ddjvu -format=ppm -subsample=1 -eachpage "$document" "$out/p%d.ppm")
mine=$(peak_mb "$ours" render "$document" "$out/p%d.ppm" --page=all)
echo "peak memory: DjVuLibre ${theirs} MB, vyrddjvu ${mine} MB"
