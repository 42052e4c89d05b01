#!/usr/bin/env bash
# Every test: installs what is missing, checks that the C++ files follow .clang-format,
# builds both builds and runs both suites.
#   1. the Linux build: unit and flow tests (GoogleTest through ctest), including the
#      INI differential test against kernel32 under Wine; short runs of the libFuzzer
#      targets (fuzz/run.sh); then the same suite built with AddressSanitizer and
#      UndefinedBehaviorSanitizer;
#   2. the Windows build (mingw-w64 i686): the COM suite under Wine and Xvfb (on a kernel
#      without 32-bit support: a 64-bit build of the same sources, then the 32-bit DLL
#      through qemu-user).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test

echo "== Formatting"
bash scripts/check-format.sh

echo "== Linux build"
cmake --preset native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build --preset native -j2
echo "== Linux tests"
ctest --preset native -j2

# Every parser of outside text through its libFuzzer target, a few seconds each, where clang
# has libFuzzer (VANTREL_SKIP_FUZZ=1 leaves it out).
if [[ ${VANTREL_SKIP_FUZZ:-0} != 1 ]]; then
    echo "== Fuzz targets (short runs)"
    sh fuzz/run.sh
fi

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer, where the compiler
# has them (VANTREL_SKIP_SANITIZERS=1 leaves it out).
if [[ ${VANTREL_SKIP_SANITIZERS:-0} != 1 ]] &&
        echo 'int main(){}' | c++ -x c++ -fsanitize=address,undefined -o /dev/null - 2>/dev/null; then
    echo "== Linux tests under the sanitizers"
    cmake --preset sanitize >/dev/null
    cmake --build --preset sanitize -j2
    ctest --preset sanitize -j2
fi

if [[ -f cmake/mingw-i686.cmake && -x tests/win32/run.sh ]]; then
    echo "== Windows build"
    cmake --preset win32 >/dev/null
    cmake --build build/win32 -j2
    echo "== Windows tests (Wine)"
    tests/win32/run.sh build/win32
    # Where the kernel runs no 32-bit programs the suite above tested the 64-bit build; the
    # 32-bit DLL itself then runs through qemu-user, about two minutes with qemu 10 (scripts/qemu-i386.sh).
    # VANTREL_SKIP_EMULATED_WIN32=1 leaves that out.
    if ! /usr/lib/wine/wine --version >/dev/null 2>&1 ||
            grep -qs enabled /proc/sys/fs/binfmt_misc/qemu-i386; then
        if [[ ${VANTREL_SKIP_EMULATED_WIN32:-0} == 1 ]]; then
            echo "== the 32-bit DLL through qemu-user: left out (VANTREL_SKIP_EMULATED_WIN32=1)"
        else
            echo "== Windows tests, the 32-bit DLL through qemu-user (Wine)"
            VANTREL_WINE_ARCH=win32 tests/win32/run.sh build/win32
        fi
    fi
fi
