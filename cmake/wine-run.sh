#!/bin/sh
# Runs a Windows program under Wine in the private prefix of the build tree that
# holds it. Boots the prefix on first use and (re)registers the COM servers of the
# program folder whenever one of them is newer than the last registration.
set -e
exe=$1
shift
dir=$(cd "$(dirname "$exe")" && pwd)
build=$dir
while [ ! -f "$build/CMakeCache.txt" ]; do
    build=$(dirname "$build")
    if [ "$build" = / ]; then
        echo "wine-run: no build tree above $exe" >&2
        exit 2
    fi
done
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
"$(dirname "$0")/wine-prepare.sh" "$build"
exec wine "$exe" "$@"
