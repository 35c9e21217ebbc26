#!/bin/bash
# The bilevel masks of every page of a document, ours against ddjvu's, as
# whole processes writing the same PBM files.
#   scripts/bench-mask.sh DOCUMENT [RUNS]
exec "$(dirname "$0")/bench-render.sh" "$1" "${2:-5}" mask
