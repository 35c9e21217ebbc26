#!/bin/sh
# Makes samples/sample.djvu, the document the README's run command opens.
# A letter-size page at 150 dpi drawn with ImageMagick, encoded with cjb2
# (lossless JB2), with a hidden text layer added by djvused.
# Needs: imagemagick, djvulibre-bin (scripts/setup.sh installs both).
set -e
cd "$(dirname "$0")/.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert -size 1275x1650 xc:white -fill black -font DejaVu-Sans \
    -pointsize 56 -draw "text 120,200 'Vyrd Viewer'" \
    -pointsize 30 -draw "text 120,270 'A sample page for the DjVu reader'" \
    -draw "rectangle 120,300 1155,306" \
    -pointsize 24 \
    -draw "text 120,380 'Scanned books, papers and manuals open in tabs.'" \
    -draw "text 120,420 'Page through them, zoom, rotate and search their text.'" \
    -draw "text 120,460 'This page is a bilevel JB2 mask at 150 dpi.'" \
    -fill none -stroke black -strokewidth 4 \
    -draw "rectangle 120,540 620,1040" -draw "circle 870,790 1070,790" \
    -draw "line 120,1100 1155,1500" \
    -monochrome "$tmp/page.pbm"

cjb2 -dpi 150 "$tmp/page.pbm" "$tmp/sample.djvu"

cat > "$tmp/text.dsed" <<'TXT'
select 1
set-txt
(page 0 0 1275 1650
  (line 120 1440 470 1500 (word 120 1440 290 1500 "Vyrd") (word 310 1440 470 1500 "Viewer"))
  (line 120 1372 640 1404 (word 120 1372 140 1404 "A") (word 150 1372 260 1404 "sample")
    (word 270 1372 340 1404 "page") (word 350 1372 390 1404 "for") (word 400 1372 450 1404 "the")
    (word 460 1372 540 1404 "DjVu") (word 550 1372 640 1404 "reader")))
.
TXT
djvused "$tmp/sample.djvu" -f "$tmp/text.dsed" -s

mkdir -p samples
cp "$tmp/sample.djvu" samples/sample.djvu
echo "samples/sample.djvu written"
