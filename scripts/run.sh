#!/bin/sh
# Builds the program and opens the bundled sample document.
# Until the viewer window exists, the sample's pages are rendered to image files
# with vyrddjvu, and their location is printed.
set -e
cd "$(dirname "$0")/.."
sh scripts/setup.sh

doc="${1:-samples/sample.djvu}"
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc 2>/dev/null || echo 2)"

out=build/sample-pages
rm -rf "$out"
mkdir -p "$out"
build/native/bin/vyrddjvu info "$doc"
build/native/bin/vyrddjvu render "$doc" "$out/page-%d.pnm" --page=all
for f in "$out"/*.pnm; do
    [ -f "$f" ] || continue
    convert "$f" "${f%.pnm}.png" && rm -f "$f"
done
echo "Pages of $doc rendered to: $PWD/$out"
ls "$out"
