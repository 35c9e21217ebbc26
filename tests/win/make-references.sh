#!/bin/sh
# Writes, before the Windows tests run, the files they compare the reader with:
#   DjVu3Spec-mask-N.pbm     ddjvu's bilevel mask of page N (1-based) of the
#                            corpus document
#   compound-palette.djvu    two colour compound pages from csepdjvu: text in
#                            palette colours on a photo background reduced by 3
#                            (the second page's size leaves a remainder, so its
#                            enlarged background stops short of the right edge)
#   compound-image.djvu      a page from djvumake whose text takes its colours
#                            from a foreground image (FG44) over a background
# Usage: make-references.sh CORPUS_DIR OUT_DIR
# Without DjVuLibre, ImageMagick or python3, or without the corpus, the files
# that need them are not written, and the tests that need the files skip.
set -e
corpus=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
have() { command -v "$1" >/dev/null 2>&1; }

if have csepdjvu && have djvumake && have cjb2 && have convert && have python3; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    # text WIDTH HEIGHT OUT: coloured words and a box on white (the
    # transparent colour of the separated foreground), no anti-aliasing so
    # that the palette stays small.
    text() {
        convert -size "$1x$2" xc:white +antialias -font DejaVu-Sans -pointsize 36 \
            -fill '#b00000' -draw "text 20,60 'Colour page'" \
            -fill '#0030c0' -draw "text 20,130 'blue words'" \
            -fill '#108010' -draw "rectangle 20,160 $(($1 - 20)),190" \
            -fill '#a000a0' -draw "text 20,$(($2 - 30)) 'last line'" -depth 8 "$3"
    }
    photo() { # photo WIDTH HEIGHT SEED OUT
        convert -seed "$3" -size "$1x$2" plasma:fractal -depth 8 "$4"
    }
    text 600 400 "$work/fg1.ppm"
    photo 200 134 1 "$work/bg1.ppm"
    text 601 401 "$work/fg2.ppm"
    photo 201 134 2 "$work/bg2.ppm"
    {
        python3 "$here/../../scripts/ppm-to-sep.py" "$work/fg1.ppm" "$work/bg1.ppm"
        python3 "$here/../../scripts/ppm-to-sep.py" "$work/fg2.ppm" "$work/bg2.ppm"
    } >"$work/pages.sep"
    csepdjvu "$work/pages.sep" "$out/compound-palette.djvu"

    convert "$work/fg1.ppm" -threshold 99% -monochrome "$work/mask.pbm"
    cjb2 "$work/mask.pbm" "$work/mask.djvu"
    photo 600 400 3 "$work/image.ppm"
    djvumake "$out/compound-image.djvu" Sjbz="$work/mask.djvu" PPM="$work/image.ppm"
fi

have ddjvu || exit 0
[ -f "$corpus/DjVu3Spec.djvu" ] || exit 0
ddjvu -mode=mask -format=pbm -subsample=1 -eachpage \
    "$corpus/DjVu3Spec.djvu" "$out/DjVu3Spec-mask-%d.pbm"
