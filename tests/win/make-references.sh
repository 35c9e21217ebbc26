#!/bin/sh
# Writes what DjVuLibre's ddjvu makes of the corpus documents, for the Windows
# tests to compare the reader's pages with:
#   DjVu3Spec-mask-N.pbm   the bilevel mask of page N (1-based)
# Usage: make-references.sh CORPUS_DIR OUT_DIR
# Without ddjvu or the corpus nothing is written, and the tests that need the
# files skip.
set -e
corpus=$1
out=$2
mkdir -p "$out"
command -v ddjvu >/dev/null 2>&1 || exit 0
[ -f "$corpus/DjVu3Spec.djvu" ] || exit 0
ddjvu -mode=mask -format=pbm -subsample=1 -eachpage \
    "$corpus/DjVu3Spec.djvu" "$out/DjVu3Spec-mask-%d.pbm"
