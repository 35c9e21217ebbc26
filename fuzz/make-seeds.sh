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


# BZZ streams: DjVuLibre's encoder on texts and bytes of several kinds.
bzzout="$here/corpus/bzz"
mkdir -p "$bzzout"
printf 'A' >"$work/one.txt"
printf 'Hello, hidden text layer.\n' >"$work/short.txt"
head -c 3000 /dev/zero | tr '\0' 'x' >"$work/run.txt"
awk 'BEGIN { srand(7); for (i = 0; i < 4000; i++) printf "%c", 32 + int(rand() * 95) }' >"$work/noise.txt"
cp "$0" "$work/script.txt"
for f in one short run noise script; do
    bzz -e "$work/$f.txt" "$bzzout/$f.bzz"
done
bzz -e900 "$work/script.txt" "$bzzout/script_900.bzz"

# DIRM data: the directory of the bundle above, of a bundle with a shared
# dictionary-less include and three pages, and a version-0 directory written
# by hand (offsets and sizes in the clear, old flag bits, compressed strings).
dirout="$here/corpus/directory"
mkdir -p "$dirout"
# dirm_of BUNDLE: the data of the bundle's first child, the DIRM chunk.
dirm_of() {
    local len
    len=$(od -An -j 20 -N 4 -tu1 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
    tail -c +25 "$1" | head -c "$len"
}
dirm_of "$out/djvm_bundle.djvu" >"$dirout/bundle2.dirm"
cp "$out/cjb2_page.djvu" "$work/p3.djvu"
djvm -c "$work/three.djvu" "$out/cjb2_page.djvu" "$work/p2.djvu" "$work/p3.djvu"
dirm_of "$work/three.djvu" >"$dirout/bundle3.dirm"
# Version 0: flags 0x80, two components; old flags: page with a name (3), include (0).
printf '\001\000' >"$work/v0.flags"
{ printf '\003\000'; printf 'p1.djvu\000first\000dict.iff\000'; } >"$work/v0.packed"
bzz -e "$work/v0.packed" "$work/v0.bzz"
{ printf '\200\000\002'; printf '\000\000\000\060\000\000\100'; printf '\000\000\000\160\000\000\040'; cat "$work/v0.bzz"; } >"$dirout/version0.dirm"
ls -l "$bzzout" "$dirout"

# Annotations: a mode byte (0 ANTa, 1 ANTz), the page height (1000, as two
# bytes), then the chunk data: annotation texts of several kinds, plain and
# compressed with bzz -e.
antout="$here/corpus/annotations"
mkdir -p "$antout"
cat >"$work/links.ant" <<'ANT'
(background #ffffff)
(maparea "#3" "" (rect 10 20 30 40) (xor))
(maparea "#p2.djvu" "by \"id\" (x" (rect 50 5 20 20))
(maparea (url "http://example.com/" "_blank") "web" (rect 100 60 40 30) (border 1))
(maparea "#2" "" (oval 5 5 50 50))
(maparea "#1" "" (rect -5 +6 99999999999 4x))
ANT
printf '(metadata (title "a (b")) (maparea "#1" "\\303\\274" (rect 1 2 3 4)) (maparea "#1" (rect' >"$work/odd.ant"
for f in links odd; do
    { printf '\000\003\350'; cat "$work/$f.ant"; } >"$antout/$f.anta"
    bzz -e "$work/$f.ant" "$work/$f.bzz"
    { printf '\001\003\350'; cat "$work/$f.bzz"; } >"$antout/$f.antz"
done

# Outlines: NAVM data as bzz -e makes it, and the same records uncompressed
# after a 0xFF byte. rec CHILDREN TITLE URL writes one bookmark record.
navout="$here/corpus/outline"
mkdir -p "$navout"
rec() {
    printf "\\$(printf '%03o' "$1")"
    printf '%06x' "${#2}" | xxd -r -p
    printf '%s' "$2"
    printf '%06x' "${#3}" | xxd -r -p
    printf '%s' "$3"
}
{
    printf '\000\006'
    rec 2 "Chapter 1" "#1"
    rec 0 "Section 1.1" "#2"
    rec 1 "Section 1.2" "#p3.djvu"
    rec 0 "Deeper" "#3"
    rec 0 "Web" "http://example.com/"
    rec 0 "" ""
} >"$work/outline.nav"
{ printf '\000\003'; rec 3 "Cut short" "#1"; rec 0 "Only child" "#2"; } >"$work/cut.nav"
for f in outline cut; do
    bzz -e "$work/$f.nav" "$navout/$f.navm"
    { printf '\377'; cat "$work/$f.nav"; } >"$navout/$f.plain"
done
ls -l "$antout" "$navout"
# JB2 streams and page masks: text drawn with ImageMagick, encoded by cjb2
# (lossless and lossy) and minidjvu (shared dictionaries, refinements). The
# jb2 seeds are chunk bodies taken out with djvuextract: page masks (Sjbz)
# and dictionaries (Djbz); the page_mask seeds are whole documents.
jb2out="$here/corpus/jb2"
maskout="$here/corpus/page_mask"
mkdir -p "$jb2out" "$maskout"
draw() { # draw OUT WIDTH HEIGHT POINTSIZE TEXT...
    local out=$1 w=$2 h=$3 pt=$4
    shift 4
    convert -size "${w}x$h" xc:white -font DejaVu-Sans -pointsize "$pt" "$@" -monochrome "$out"
}
draw "$work/line.pbm" 160 24 14 -draw "text 2,17 'Vyrd JB2 seed'"
draw "$work/edges.pbm" 64 32 20 -draw "point 0,0" -draw "point 63,31" -draw "line 0,31 20,31" \
    -draw "line 63,0 63,12" -draw "text -4,20 'Edge'"
draw "$work/narrow.pbm" 3 20 16 -draw "text -4,16 'l'"
cjb2 "$work/line.pbm" "$maskout/cjb2_line.djvu"
cjb2 -lossy "$work/line.pbm" "$maskout/cjb2_line_lossy.djvu"
cjb2 "$work/edges.pbm" "$maskout/cjb2_edges.djvu"
cjb2 "$work/narrow.pbm" "$maskout/cjb2_narrow.djvu"
for i in 1 2 3 4; do
    draw "$work/text$i.pbm" 120 40 $((12 + i / 3)) -draw "text 2,16 'page $i: seed'" \
        -draw "text 2,34 'shared dict'"
done
minidjvu -p 2 "$work"/text[1-4].pbm "$maskout/minidjvu_p2.djvu"
minidjvu -p 4 -l "$work"/text[1-4].pbm "$maskout/minidjvu_p4_lossy.djvu"
mkdir -p "$work/indirect"
(cd "$work/indirect" && minidjvu -i -p 2 "$work"/text[1-4].pbm index.djvu)
for name in line line_lossy edges narrow; do
    djvuextract "$maskout/cjb2_$name.djvu" Sjbz="$jb2out/sjbz_$name.jb2" 2>/dev/null
done
djvuextract "$work/indirect/text1.iff" Djbz="$jb2out/djbz_text1.jb2" 2>/dev/null
djvuextract "$work/indirect/text2.djvu" Sjbz="$jb2out/sjbz_inherits.jb2" 2>/dev/null
ls -l "$jb2out" "$maskout"

# Wavelet chunk sequences and composed pages. The fuzz_iw44 seeds are the
# BG44 (or FG44) chunk bodies of c44 images, joined by the separator "IW44"
# that FuzzIW44.cpp splits on; the fuzz_page_render seeds are whole pages
# from c44, csepdjvu, cpaldjvu and djvumake, one per row of the composition
# table (background only, palette, foreground image, mask without colours...).
iwout="$here/corpus/iw44"
pageout="$here/corpus/page_render"
mkdir -p "$iwout" "$pageout"
# bodies FILE ID [COUNT]: the ID chunk bodies (all, or the first COUNT) of
# the first page FORM of FILE, joined by "IW44". The chunks of a c44 or
# djvumake page are direct children of the FORM that follows "AT&T".
bodies() {
    python3 - "$1" "$2" "${3:-0}" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
want = sys.argv[2].encode()
count = int(sys.argv[3])
pos, end, out = 16, 12 + int.from_bytes(data[8:12], "big"), []
while pos + 8 <= end:
    length = int.from_bytes(data[pos + 4:pos + 8], "big")
    if data[pos:pos + 4] == want:
        body = data[pos + 8:pos + 8 + length]
        assert b"IW44" not in body, "a chunk body holds the separator"
        out.append(body)
    pos += 8 + length + (length & 1)
sys.stdout.buffer.write(b"IW44".join(out[:count] if count else out))
PY
}
# photo OUT WIDTH HEIGHT SEED: a deterministic 8-bit colour picture.
photo() { convert -seed "$4" -size "${2}x$3" plasma:fractal -depth 8 "$1"; }
photo "$work/p64.ppm" 64 48 3
photo "$work/p33.ppm" 33 20 5
photo "$work/p1.ppm" 1 2 6
photo "$work/p3.ppm" 3 70 7
convert "$work/p64.ppm" -colorspace gray -depth 8 "$work/g64.pgm"
convert -size 16x12 gradient:white-black -depth 8 "$work/g16.pgm"
c44 -slice 74+13+10 "$work/p64.ppm" "$work/c_64x48.djvu"
c44 -slice 74+13+10 "$work/p33.ppm" "$work/c_33x20.djvu"
c44 -slice 90 "$work/p1.ppm" "$work/c_1x2.djvu"
c44 -slice 30+30+30 "$work/p3.ppm" "$work/c_3x70.djvu"
c44 -slice 20+20+20+20+20 -crcbhalf "$work/p64.ppm" "$work/c_half.djvu"
c44 -slice 8 -crcbdelay 10 "$work/p64.ppm" "$work/c_delay10.djvu"
c44 -slice 100 -crcbfull "$work/p33.ppm" "$work/c_full.djvu"
c44 -slice 74+13+10 "$work/g64.pgm" "$work/g_64x48.djvu"
c44 -slice 60+20 "$work/g16.pgm" "$work/g_16x12.djvu"
for name in c_64x48 c_33x20 c_1x2 c_3x70 c_half c_delay10 c_full g_64x48 g_16x12; do
    bodies "$work/$name.djvu" BG44 >"$iwout/$name.iw44"
done
# Hand-made: a first chunk of 0 slices (an all-zero gray image of 40 x 30),
# and a first colour chunk followed by one with serial 2 instead of 1
# (rejected).
printf '\000\000\200\002\000\050\000\036\000' >"$iwout/zero_slices.iw44"
{ bodies "$work/c_64x48.djvu" BG44 1; printf 'IW44\002\012\001\002\003'; } >"$iwout/serial_gap.iw44"

# Pages. A foreground of coloured text and a box (white = transparent) on
# a photo background reduced by 3; the 101 x 70 one leaves a remainder.
fgdraw() { # fgdraw OUT WIDTH HEIGHT
    convert -size "${2}x$3" xc:white +antialias -font DejaVu-Sans -pointsize 20 \
        -fill '#c00000' -draw "text 3,22 'Vyrd'" -fill '#0040a0' -draw "text 3,50 'seed'" \
        -fill '#208020' -draw "rectangle $(($2 - 30)),5 $(($2 - 5)),$(($3 - 5))" -depth 8 "$1"
}
fgdraw "$work/fg150.ppm" 150 60
fgdraw "$work/fg101.ppm" 101 70
photo "$work/bg50.ppm" 50 20 8
photo "$work/bg34.ppm" 34 24 9
python3 "$here/../scripts/ppm-to-sep.py" "$work/fg150.ppm" "$work/bg50.ppm" >"$work/p150.sep"
python3 "$here/../scripts/ppm-to-sep.py" "$work/fg101.ppm" "$work/bg34.ppm" >"$work/p101.sep"
python3 "$here/../scripts/ppm-to-sep.py" "$work/fg101.ppm" >"$work/white.sep"
csepdjvu -q 60,80 "$work/p150.sep" "$pageout/csep_palette.djvu"
csepdjvu -q 60,80 "$work/p101.sep" "$pageout/csep_remainder.djvu"
csepdjvu "$work/white.sep" "$pageout/csep_no_background.djvu"
cpaldjvu -colors 4 "$work/fg101.ppm" "$pageout/cpal_101x70.djvu"
cp "$work/c_33x20.djvu" "$pageout/c44_colour.djvu"
cp "$work/g_16x12.djvu" "$pageout/c44_gray.djvu"
# Pages with one mask and each combination of colour layers. djvumake adds
# a white background or a black palette where a page would lack both, so
# the pages without them are put together here from the chunks of others.
convert "$work/fg101.ppm" -threshold 99% -monochrome "$work/m101.pbm"
cjb2 "$work/m101.pbm" "$work/m101.djvu"
photo "$work/p101.ppm" 101 70 10
c44 -slice 60+20 "$work/bg34.ppm" "$work/bg34.djvu"
photo "$work/fg12.ppm" 12 8 11
c44 -slice 70 "$work/fg12.ppm" "$work/fg12.djvu"
djvumake "$pageout/make_mask_ppm.djvu" Sjbz="$work/m101.djvu" PPM="$work/p101.ppm"
# assemble OUT WIDTH HEIGHT PICK... : a page of INFO and, for each PICK, the
# chunks it names: FILE:ID (the ID chunks of FILE's first page, in file
# order), FILE:ID=NEWID (the same chunks renamed), FGbz:HEX (an FGbz chunk
# of those bytes).
assemble() {
    python3 - "$@" <<'PY'
import sys
out, width, height, picks = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4:]
def chunk(cid, body):
    return cid + len(body).to_bytes(4, "big") + body + b"\0" * (len(body) & 1)
def chunks_of(path, cid):
    data = open(path, "rb").read()
    pos, end = 16, 12 + int.from_bytes(data[8:12], "big")
    while pos + 8 <= end:
        length = int.from_bytes(data[pos + 4:pos + 8], "big")
        if data[pos:pos + 4] == cid:
            yield chunk(cid, data[pos + 8:pos + 8 + length])
        pos += 8 + length + (length & 1)
info = width.to_bytes(2, "big") + height.to_bytes(2, "big") + bytes([24, 0, 44, 1, 22, 1])
body = b"DJVU" + chunk(b"INFO", info)
for pick in picks:
    source, cid = pick.rsplit(":", 1)
    if source == "FGbz":
        body += chunk(b"FGbz", bytes.fromhex(cid))
        continue
    old, _, new = cid.partition("=")
    for c in chunks_of(source, old.encode()):
        body += (new.encode() or c[:4]) + c[4:]
open(out, "wb").write(b"AT&T" + chunk(b"FORM", body))
PY
}
M="$work/m101.djvu:Sjbz"
assemble "$pageout/mask_fg44.djvu" 101 70 "$M" "$work/fg12.djvu:BG44=FG44"
assemble "$pageout/mask_bg44.djvu" 101 70 "$M" "$work/bg34.djvu:BG44"
# Two palette colours and no index count: no blit has a colour.
assemble "$pageout/mask_fgbz_no_bg.djvu" 101 70 "$M" FGbz:000002ff800000008000
assemble "$pageout/mask_fgbz_fg44.djvu" 101 70 "$M" "$work/bg34.djvu:BG44" \
    "$pageout/csep_remainder.djvu:FGbz" "$pageout/make_mask_ppm.djvu:FG44"
assemble "$pageout/fg44_only.djvu" 101 70 "$work/fg12.djvu:BG44=FG44"
# A background larger than the page: only its lower left part shows.
assemble "$pageout/bg_larger.djvu" 20 15 "$work/bg34.djvu:BG44"
djvm -c "$pageout/bundle3.djvu" "$pageout/mask_fg44.djvu" \
    "$pageout/csep_remainder.djvu" "$pageout/c44_gray.djvu"
ls -l "$iwout" "$pageout"
