#!/bin/bash
# Makes the documents that scripts/bench-render.sh is run on, into a folder:
#   compound.djvu  12 colour compound pages of 2550 x 3300 at 300 dpi (csepdjvu):
#                  text in several colours and sizes, coloured boxes and rules,
#                  over a photo-like background at a third of the resolution
#   photo.djvu     one 5472 x 3648 photograph-like page (c44), 20 megapixels
# Everything is drawn with ImageMagick from fixed seeds, so the same files come
# out on every run.
#   scripts/make-bench-documents.sh OUT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

pages=12
width=2550
height=3300
# Words for the body text, taken in a seeded order.
words="wavelet layer mask glyph palette chunk slice band bucket coefficient
background foreground scanner page column margin figure caption table index
chapter section paragraph resolution colour contrast pixel raster document"
colours=('#000000' '#1a1a60' '#8b0000' '#00602a' '#5a2d82' '#a04000' '#004f7a')

# page_text N: page N as ImageMagick drawing primitives (MVG): a heading and
# a rule, two columns of body lines in changing colours, a few boxes, the
# page number.
page_text() {
    awk -v seed="$1" -v w="$width" -v h="$height" -v words="$words" \
        -v colours="${colours[*]}" 'BEGIN {
        srand(seed)
        nw = split(words, word, /[ \n]+/)
        nc = split(colours, colour, " ")
        printf "font-size 96\nfill \"%s\"\ntext 200,300 \"Chapter %d: %s %s\"\n",
            colour[3], seed, word[1 + int(rand() * nw)], word[1 + int(rand() * nw)]
        printf "fill \"%s\"\nrectangle 200,360 %d,372\nfont-size 38\n", colour[2], w - 200
        for (col = 0; col < 2; col++) {
            x = 200 + col * (w - 400) / 2
            for (y = 480; y < h - 250; y += 56) {
                if (rand() < 0.04) {   # a coloured box in place of a few lines
                    printf "fill \"%s\"\nrectangle %d,%d %d,%d\n",
                        colour[2 + int(rand() * (nc - 1))], x, y - 40, x + 900, y + 150
                    y += 190
                    continue
                }
                line = ""
                while (length(line) < 42)
                    line = line word[1 + int(rand() * nw)] " "
                c = rand() < 0.8 ? colour[1] : colour[2 + int(rand() * (nc - 1))]
                printf "fill \"%s\"\ntext %d,%d \"%s\"\n", c, x, y, line
            }
        }
        printf "fill \"%s\"\ntext %d,%d \"%d\"\n", colour[1], w / 2, h - 120, seed
    }'
}

: >"$work/pages.sep"
for ((n = 1; n <= pages; n++)); do
    page_text "$n" >"$work/page.mvg"
    convert -size "${width}x$height" xc:white +antialias -font DejaVu-Sans \
        -draw "$(cat "$work/page.mvg")" -depth 8 "$work/fg.ppm"
    # The background: a seeded plasma, lightened like paper under a photo.
    convert -seed "$n" -size "$(((width + 2) / 3))x$(((height + 2) / 3))" plasma:fractal \
        -blur 0x4 -fill white -colorize 45% -depth 8 "$work/bg.ppm"
    python3 "$here/ppm-to-sep.py" "$work/fg.ppm" "$work/bg.ppm" >>"$work/pages.sep"
done
csepdjvu -d 300 "$work/pages.sep" "$out/compound.djvu"

# A photograph: plasma clouds under a few soft shapes, the size of a
# 20-megapixel camera's pictures.
convert -seed 20 -size 5472x3648 plasma:fractal -blur 0x2 \
    -fill '#20406080' -draw 'circle 1800,1500 2600,2300' \
    -fill '#80602060' -draw 'rectangle 3400,600 5000,2400' -depth 8 "$work/photo.ppm"
c44 -dpi 300 "$work/photo.ppm" "$out/photo.djvu"
ls -l "$out/compound.djvu" "$out/photo.djvu"
