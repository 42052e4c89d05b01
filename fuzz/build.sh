#!/bin/sh
# Builds the libFuzzer targets (clang with libFuzzer and AddressSanitizer; Debian packages
# clang-14 and libclang-rt-14-dev). Not part of the CMake build.
#   fuzz/build.sh [OUTPUT_FOLDER]      default: build/fuzz
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/fuzz}
cxx=$(command -v clang++-14 || command -v clang++)
mkdir -p "$out"
"$cxx" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I "$root/src" \
    "$root/fuzz/ini_profile_fuzzer.cpp" \
    "$root"/src/platform/posix/profile_engine*.cpp "$root/src/platform/posix/posix_platform.cpp" \
    "$root"/src/automation/*.cpp \
    -o "$out/ini_profile_fuzzer"
echo "built $out/ini_profile_fuzzer"
