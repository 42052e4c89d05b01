#!/bin/sh
# Builds the libFuzzer targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer (Debian packages clang-14 and libclang-rt-14-dev). Not part of
# the CMake build.
#   fuzz/build.sh [OUTPUT_FOLDER]      default: build/fuzz
# Each source is compiled once into OUTPUT_FOLDER/obj (two at a time, through ccache where
# there is one); each target links the objects it needs.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build/fuzz}
cxx=$(command -v clang++-14 || command -v clang++)
launcher=$(command -v ccache || true)
mkdir -p "$out/obj"

automation="src/automation/datetime.cpp src/automation/locale.cpp src/automation/object.cpp
    src/automation/runtime_error.cpp src/automation/text.cpp src/automation/variant.cpp"
posix="src/platform/posix/posix_platform.cpp"
ini="src/platform/posix/profile_engine.cpp src/platform/posix/profile_engine_document.cpp
    src/platform/posix/profile_engine_text.cpp"
parameters=src/reports/parameters

# target: its own sources (the fuzzer first) and the libraries it links.
targets="ini_profile|fuzz/ini_profile_fuzzer.cpp $ini $posix|-lcups
parameter_description_file|fuzz/parameter_description_file_fuzzer.cpp
    $parameters/parameter_description_file.cpp $posix|-lcups
placeholders|fuzz/placeholders_fuzzer.cpp $parameters/placeholders.cpp|
date_keywords|fuzz/date_keywords_fuzzer.cpp $parameters/date_keywords.cpp|
value_list|fuzz/value_list_fuzzer.cpp $parameters/value_list.cpp|
crystal_report_sort|fuzz/crystal_report_sort_fuzzer.cpp $parameters/crystal_report_sort.cpp|
variant|fuzz/variant_fuzzer.cpp|
text|fuzz/text_fuzzer.cpp|
connection_string|fuzz/connection_string_fuzzer.cpp substitutes/erp/connection_string.cpp|
report_file|fuzz/report_file_fuzzer.cpp substitutes/reports/report_file.cpp
    substitutes/reports/file_paths.cpp|"
targets=$(printf '%s\n' "$targets" | awk '/^    /{sub(/^ +/, " "); line = line $0; next}
    {if (line != "") print line; line = $0} END {print line}')

object() { echo "$out/obj/$(echo "$1" | tr / _ | sed 's/\.cpp$/.o/')"; }

export CXX="$cxx" LAUNCHER="$launcher" ROOT="$root"
sources=$(printf '%s\n' "$targets" | cut -d'|' -f2 | tr ' ' '\n' | grep . | sort -u)
for src in $automation $sources; do
    printf '%s %s\n' "$src" "$(object "$src")"
done | sort -u | xargs -P "${FUZZ_JOBS:-2}" -n 2 sh -c '
    $LAUNCHER "$CXX" -std=c++20 -g -O1 -fsanitize=fuzzer-no-link,address,undefined \
        -fno-sanitize-recover=undefined -I "$ROOT/src" -I "$ROOT/substitutes" -I "$ROOT/fuzz" \
        -c "$ROOT/$0" -o "$1"'

common=""
for src in $automation; do common="$common $(object "$src")"; done
printf '%s\n' "$targets" | while IFS='|' read -r name own libs; do
    objects=""
    for src in $own; do objects="$objects $(object "$src")"; done
    # shellcheck disable=SC2086
    "$cxx" -fsanitize=fuzzer,address,undefined $objects $common $libs -o "$out/${name}_fuzzer"
    echo "built $out/${name}_fuzzer"
done
