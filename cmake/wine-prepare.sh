#!/bin/sh
# Prepares the private Wine prefix of a build tree: boots it once and registers
# the COM servers in <build>/bin with regsvr32 when they changed. Safe to call
# from several processes at once (serialised with a lock file).
set -e
build=$(cd "$1" && pwd)
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
mkdir -p "$WINEPREFIX"
exec 9>"$build/wineprefix.lock"
flock 9
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi
# Wine links the user's shell folders (Documents, Desktop, ...) to the host's
# home folder. The prefix is private to the build tree: give it folders of its
# own, so that the program's user data never lands in the real home folder.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then
        rm -f "$link"
        mkdir -p "$link"
    fi
done
stamp="$build/wineprefix.registered"
for dll in "$build"/bin/VyrdViewer.dll "$build"/bin/VyrdDjVuFile.dll; do
    [ -f "$dll" ] || continue
    if [ ! -f "$stamp" ] || [ "$dll" -nt "$stamp" ]; then
        (cd "$(dirname "$dll")" && wine regsvr32 /s "$(basename "$dll")") || {
            echo "wine-prepare: regsvr32 failed for $dll" >&2
            exit 1
        }
        changed=1
    fi
done
if [ -n "$changed" ]; then
    touch "$stamp"
fi
