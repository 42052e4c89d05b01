#!/usr/bin/env bash
# Every test: installs what is missing, builds both builds and runs both suites.
#   1. the Linux build: unit and flow tests (GoogleTest through ctest), including the
#      INI differential test against kernel32 under Wine;
#   2. the Windows build (mingw-w64 i686): the COM suite under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test

echo "== Linux build"
cmake --preset native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build --preset native -j2
echo "== Linux tests"
ctest --preset native -j2

if [[ -f cmake/mingw-i686.cmake && -x tests/win32/run.sh ]]; then
    echo "== Windows build"
    cmake --preset win32 >/dev/null
    cmake --build build/win32 -j2
    echo "== Windows tests (Wine)"
    tests/win32/run.sh build/win32
fi
