#!/bin/bash
# Writes the seed corpus of fuzz_text into corpus/text/. djvused stores a few
# text layers (every zone type nested, characters outside ASCII and outside
# the Basic Multilingual Plane, empty words) on a blank page built here; each
# TXTz chunk becomes two seeds: the chunk as stored (mode byte 03: compressed,
# top-down) and its stream decompressed with bzz -d (mode byte 01).
# Re-running the script rewrites the same files.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out="$here/corpus/text"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A 300 x 200 page with only its INFO chunk.
printf 'AT&TFORM\000\000\000\026DJVUINFO\000\000\000\012\001\054\000\310\030\000\054\001\026\001' \
    >"$work/blank.djvu"

seed() {
    local name=$1 zones=$2
    cp "$work/blank.djvu" "$work/$name.djvu"
    printf '%s' "$zones" >"$work/$name.txt"
    djvused "$work/$name.djvu" -e "select 1; set-txt $work/$name.txt" -s
    djvuextract "$work/$name.djvu" "TXTz=$work/$name.txtz" >/dev/null 2>&1
    bzz -d "$work/$name.txtz" "$work/$name.raw"
    { printf '\003'; cat "$work/$name.txtz"; } >"$out/$name.bzz.seed"
    { printf '\001'; cat "$work/$name.raw"; } >"$out/$name.raw.seed"
}

seed lines '(page 0 0 300 200 (line 10 150 290 190 (word 10 150 100 190 "hello") (word 110 150 290 190 "w\303\266rld")) (line 10 100 200 140 (word 10 100 200 140 "x\360\235\204\236y")))'
seed nested '(page 0 0 300 200 (column 10 10 290 190 (region 10 10 290 190 (para 10 10 290 190 (line 10 10 290 190 (word 10 10 150 190 (char 10 10 80 190 "a") (char 80 10 150 190 "b")) (word 160 10 200 190 "") (word 160 10 200 190 "") (word 210 10 290 190 "\346\274\242"))))))'
seed page_only '(page 0 0 300 200 "just text")'
