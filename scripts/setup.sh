#!/bin/sh
# Installs from Debian's packages everything the builds and tests need.
# Does nothing when all of it is present. Needs root (apt-get) to install.
set -e

packages="
cmake
ninja-build
g++
dpkg-dev
clang
libclang-rt-14-dev
googletest
g++-mingw-w64-x86-64-posix
mingw-w64-tools
libwine-dev
wine
wine64
xvfb
xauth
djvulibre-bin
minidjvu
imagemagick
ghostscript
fonts-dejavu-core
python3
time
"

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "setup: these Debian packages are missing:$missing" >&2
    echo "setup: run this script as root (it uses apt-get), or install them yourself." >&2
    exit 1
fi

echo "setup: installing$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
# shellcheck disable=SC2086
apt-get install -y -q $missing
