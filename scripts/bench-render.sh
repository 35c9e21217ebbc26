#!/bin/bash
# Every page of a document rendered at full resolution, ours against ddjvu's,
# as whole processes writing one PNM file per page, then the peak resident
# memory of one run of each (GNU time, from the Debian package "time").
#   scripts/bench-render.sh DOCUMENT [RUNS] [mask]
# With "mask", only the bilevel masks (PBM on both sides). Otherwise the
# composed pages: ddjvu writes a PPM for every page, vyrddjvu a PPM for a
# colour page and a PBM (P4, one bit per pixel) for a bilevel one, as the
# reader hands out a bilevel raster for it; on documents with bilevel pages
# ours writes fewer bytes, which favours it in writing, not in decoding or
# composing.
# scripts/make-bench-documents.sh makes two documents to run this on.
set -euo pipefail
document=$1
runs=${2:-3}
ours=${VYRDDJVU:-build/native/bin/vyrddjvu}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if [ "${3:-}" = mask ]; then
    theirs_args=(-mode=mask -format=pbm)
    ours_args=(--layer=mask)
    suffix=pbm
else
    theirs_args=(-format=ppm)
    ours_args=()
    suffix=ppm
fi
theirs_command=(ddjvu "${theirs_args[@]}" -subsample=1 -eachpage "$document" "$out/p%d.$suffix")
ours_command=("$ours" render "$document" "$out/p%d.$suffix" --page=all "${ours_args[@]}")

echo -n "$(basename "$document"): "
"$(dirname "$0")/bench-pair.sh" "$runs" "${theirs_command[*]@Q}" "${ours_command[*]@Q}"

if [ ! -x /usr/bin/time ]; then
    echo "peak memory: not measured (/usr/bin/time missing; scripts/setup.sh installs it)"
    exit 0
fi
peak_mb() { # peak_mb COMMAND...: the command's maximum resident set, in MB
    /usr/bin/time -f %M -o "$out/rss" "$@" >/dev/null
    awk '{ printf "%.1f", $1 / 1024 }' "$out/rss"
}
echo "peak memory: DjVuLibre $(peak_mb "${theirs_command[@]}") MB, vyrddjvu $(peak_mb "${ours_command[@]}") MB"
