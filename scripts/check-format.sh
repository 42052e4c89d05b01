#!/usr/bin/env bash
# Fails when a tracked C++ file does not follow the repository's .clang-format.
#   scripts/check-format.sh          check (clang-format --dry-run -Werror)
#   scripts/check-format.sh --fix    rewrite the files in place
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c' '*.hpp')
if [[ ${1:-} == --fix ]]; then
    clang-format -i "${files[@]}"
    exit 0
fi
report=$(mktemp)
trap 'rm -f "$report"' EXIT
if clang-format --dry-run -Werror "${files[@]}" 2>"$report"; then
    echo "formatting: ${#files[@]} files follow .clang-format"
else
    grep -o '^[^: ]*\.[ch]p*:' "$report" | sort -u | sed 's/:$//; s/^/  not formatted: /'
    echo "formatting: run scripts/check-format.sh --fix"
    exit 1
fi
