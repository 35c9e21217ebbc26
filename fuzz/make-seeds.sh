#!/bin/bash
# Writes the seed corpus of fuzz_container into corpus/container/.
# Hand-built files are assembled as hex and turned into bytes with xxd; two
# real documents come from DjVuLibre's encoders (cjb2, djvm) run on a tiny
# bitmap drawn here. Re-running the script rewrites the same files.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out="$here/corpus/container"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }   # text as hex
u32() { printf '%08x' "$1"; }
# chunk ID HEXBODY: header with the true length, pad byte after an odd body.
chunk() {
    local len=$((${#2} / 2))
    printf '%s%s%s' "$(hex "$1")" "$(u32 "$len")" "$2"
    if ((len % 2)); then printf '00'; fi
}
# rawchunk ID LENGTH HEXBODY: any declared length, no pad.
rawchunk() { printf '%s%s%s' "$(hex "$1")" "$(u32 "$2")" "$3"; }
# form TYPE HEXCHILDREN...
form() {
    local type=$1 body
    shift
    body="$(hex "$type")$(printf '%s' "$@")"
    chunk FORM "$body"
}
# info WIDTH HEIGHT MINOR MAJOR DPI GAMMA10 FLAGS: the 10-byte INFO body.
info() {
    printf '%04x%04x%02x%02x%02x%02x%02x%02x' "$1" "$2" "$3" "$4" \
        $(($5 & 255)) $(($5 >> 8)) "$6" "$7"
}
# write NAME HEXTOPLEVEL: "AT&T" and the top-level chunks.
write() { printf '%s%s' "$(hex 'AT&T')" "$2" | xxd -r -p >"$out/$1"; }

INFO=$(chunk INFO "$(info 640 480 24 0 300 22 1)")

write info_only.djvu "$(form DJVU "$INFO")"
write odd_chunks.djvu "$(form DJVU "$INFO" "$(chunk ODD1 010203)" "$(chunk TXTz 04)" "$(chunk ANTa 0506)")"
write long_form.djvu "$(rawchunk FORM 4000 "$(hex DJVU)$INFO$(rawchunk Sjbz 900 0102)")"
write topbit_length.djvu "$(rawchunk FORM 2147483700 "$(hex DJVU)$INFO")"
write form_trailing.djvu "$(form DJVU "$INFO" 0102030405)"
write short_info.djvu "$(form DJVU "$(chunk INFO 0280)")"
write info_v21_flags.djvu "$(form DJVU "$(chunk INFO "$(info 17 9 21 255 255 0 255)")" "$(chunk INFO "$(info 1 1 24 0 72 10 6)")")"
write not_form.djvu "$INFO$(form DJVU "$INFO")"
write djvm_min.djvu "$(form DJVM "$(chunk DIRM 810001)" "$(chunk NAVM 00)" "$(form DJVU "$INFO")")"
# A valid page cut in the middle of its INFO chunk.
write truncated.djvu "$(form DJVU "$INFO" "$(chunk Sjbz 0102030405060708)")"
truncate -s 24 "$out/truncated.djvu"

# Real encoder output: a 16 x 8 bitmap with a diagonal stroke.
{
    printf 'P1\n16 8\n'
    for y in 0 1 2 3 4 5 6 7; do
        for x in $(seq 0 15); do
            if ((x / 2 == y)); then printf '1 '; else printf '0 '; fi
        done
        printf '\n'
    done
} >"$work/stroke.pbm"
cjb2 "$work/stroke.pbm" "$out/cjb2_page.djvu"
cp "$out/cjb2_page.djvu" "$work/p2.djvu"
djvm -c "$out/djvm_bundle.djvu" "$out/cjb2_page.djvu" "$work/p2.djvu"
ls -l "$out"
