#!/bin/bash
# Writes the text-layer fixtures of the Windows tests into OUT (run natively at
# build time; the tests under Wine read the files). For each document DOC and
# page N it writes DOC.djvu (fixtures only) and DjVuLibre's answers:
# DOC.N.pure (djvused print-pure-txt, final form feed removed) and DOC.N.zones
# (djvused print-txt). The fixtures are blank pages built here whose text
# layer djvused stores; with CORPUS given, the pages of the real documents
# there that carry text are answered too. Without djvused nothing is written
# and the tests skip.
#   make-text-fixtures.sh OUT [CORPUS]
set -euo pipefail
out=$1
corpus=${2:-}
mkdir -p "$out"
rm -f "$out"/*.pure "$out"/*.zones "$out"/*.djvu
command -v djvused >/dev/null || exit 0

answer() {  # answer FILE NAME PAGE
    djvused "$1" -e "select $3; print-pure-txt" >"$out/$2.$3.pure"
    truncate -s -1 "$out/$2.$3.pure"
    djvused "$1" -e "select $3; print-txt" >"$out/$2.$3.zones"
}

# fixture NAME FLAGS ZONES: a 300 x 200 page, INFO flags byte FLAGS.
fixture() {
    printf 'AT&TFORM\000\000\000\026DJVUINFO\000\000\000\012\001\054\000\310\030\000\054\001\026'"\\$(printf '%03o' "$2")" \
        >"$out/$1.djvu"
    printf '%s' "$3" >"$out/$1.sexp"
    djvused "$out/$1.djvu" -e "select 1; set-txt $out/$1.sexp" -s
    rm "$out/$1.sexp"
    answer "$out/$1.djvu" "$1" 1
}

every_kind='(page 0 0 300 200
 (column 10 10 150 190
  (region 10 100 150 190
   (para 10 100 150 190
    (line 10 150 150 190
     (word 10 150 60 190 (char 10 150 30 190 "a") (char 30 150 60 190 "\303\266"))
     (word 70 150 100 190 "\360\235\204\236\360\237\230\200")
     (word 100 150 110 190 "")
     (word 100 150 110 190 "")
     (word 110 150 150 190 "\346\274\242\345\255\227"))
    (line 10 100 150 140
     (word 10 100 80 140 "\342\202\254uro")
     (word 90 100 150 140 "x"))))
  (region 10 10 150 90
   (para 10 10 150 90
    (line 10 10 150 90 (word 10 10 150 90 "tail")))))
 (column 160 10 290 190
  (region 160 10 290 190
   (para 160 10 290 190
    (line 160 10 290 190
     (word 160 10 200 190 "b")
     (word 210 10 290 190 (char 210 10 250 190 "c") (char 210 10 250 190 "d")))))))'

fixture every_kind 1 "$every_kind"
fixture every_kind_6 6 "$every_kind"
fixture every_kind_2 2 "$every_kind"

if [ -n "$corpus" ] && [ -d "$corpus" ]; then
    for doc in DjVu3Spec czech_1-3; do
        file="$corpus/$doc.djvu"
        [ -f "$file" ] || continue
        pages=$(djvused "$file" -e n)
        for ((page = 1; page <= pages; page++)); do
            answer "$file" "$doc" "$page"
        done
    done
fi
