#!/bin/sh
# Builds the libFuzzer targets and runs each for a fixed number of inputs over a copy of its
# corpus (fuzz/corpus/<target>/); a crash, a leak, a broken invariant, a timeout or too much
# memory fails the run. Prints one line per target with its executions.
#   fuzz/run.sh [RUNS_FACTOR]      RUNS_FACTOR multiplies every target's runs (default 1)
# Without clang and libFuzzer it says so and succeeds.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/fuzz
factor=${1:-1}

cxx=$(command -v clang++-14 || command -v clang++ || true)
if [ -z "$cxx" ] || ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
        "$cxx" -x c++ -fsanitize=fuzzer,address,undefined -o /dev/null - 2>/dev/null; then
    echo "fuzz: left out (no clang with libFuzzer)"
    exit 0
fi
sh "$root/fuzz/build.sh" "$out" >/dev/null

# target runs max_len: runs sized for one to three seconds each on two cores, all of them
# well under two minutes when other builds share the cores.
# The placeholders' inputs stay short: each reference to an earlier row multiplies a value's length.
targets="ini_profile 8000 4096
parameter_description_file 15000 4096
placeholders 12000 2048
date_keywords 40000 256
value_list 60000 4096
crystal_report_sort 5000 2048
variant 6000 256
text 40000 4096
connection_string 30000 2048
report_file 12000 4096"

failed=0
echo "$targets" | {
    while read -r name runs maxlen; do
        corpus_in=$root/fuzz/corpus/$name
        [ "$name" = ini_profile ] && corpus_in=$root/fuzz/corpus/ini
        work=$out/run/$name
        rm -rf "$work" && mkdir -p "$work/corpus" "$work/artifacts"
        cp "$corpus_in"/* "$work/corpus/"
        log=$work/log
        start=$(date +%s%N)
        dict=$root/fuzz/dict/$name.dict
        [ -f "$dict" ] && dict="-dict=$dict" || dict=""
        # shellcheck disable=SC2086
        if "$out/${name}_fuzzer" -runs=$((runs * factor)) -max_len="$maxlen" -timeout=10 \
                -rss_limit_mb=1024 -print_final_stats=1 $dict \
                -artifact_prefix="$work/artifacts/" "$work/corpus" >"$log" 2>&1; then
            execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
            secs=$(awk -v a="$start" -v b="$(date +%s%N)" 'BEGIN { printf "%.1f", (b - a) / 1e9 }')
            printf 'fuzz %-28s %8s executions in %5s s\n' "$name" "$execs" "$secs"
        else
            printf 'fuzz %-28s FAILED, see %s and %s\n' "$name" "$log" "$work/artifacts"
            grep -m3 -E 'ERROR|invariant|runtime error|unexpected' "$log" || true
            failed=1
        fi
    done
    exit $failed
}
