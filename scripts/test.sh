#!/bin/sh
# Builds every preset the tests need and runs every test:
#   native       core and tool tests, replay of the fuzz corpora
#   native-asan  the same under AddressSanitizer and UndefinedBehaviorSanitizer
#   fuzz         the libFuzzer targets (corpus replay, no random run)
#   windows      the COM servers and their tests under Wine (private prefix, Xvfb)
set -e
cd "$(dirname "$0")/.."
sh scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
status=0
for preset in native native-asan fuzz windows; do
    echo "=== $preset: build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done

# The Wine prefix boots once before any test runs: a first boot during a test
# would make that test fail.
sh cmake/wine-prepare.sh build/windows

for preset in native native-asan fuzz; do
    echo "=== $preset: test"
    ctest --preset "$preset" -j "$jobs" || status=1
done
echo "=== windows: test"
xvfb-run -a ctest --preset windows || status=1
WINEPREFIX="$PWD/build/windows/wineprefix" wineserver -k 2>/dev/null || true

exit $status
