#!/bin/sh
# The Variant differential test: runs variant_cases.txt through oleaut32 under 32-bit Wine
# and through automation::Variant, and compares the reports line by line; the lines in
# variant_cases.differences are our deliberate answers. It also checks that the recorded
# oleaut32 report (variant_cases.expected, which the unit tests use) is what Wine says now.
#   run_variant_differential.sh SOURCE_FOLDER BUILD_FOLDER NATIVE_RUNNER
# Exits 77 (ctest: skipped) only when 32-bit Wine or the mingw-w64-built runner is missing.
# 32-bit, as the add-in is: oleaut32 scales currency in the x87's extended precision there.
set -u
src=$1
dir=$2
native=$3
runner=$dir/variant_runner32.exe

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

if [ ! -f "$runner" ] || ! command -v wine >/dev/null 2>&1 || ! wine --version >/dev/null 2>&1; then
    echo "skipped: no 32-bit Wine that runs here, or no mingw-w64 runner (packages wine32 and"
    echo "g++-mingw-w64-i686)"
    exit 77
fi
# No Mono or Gecko: their installers would wait for a click while the prefix is created.
export WINEPREFIX="$dir/wineprefix-variant" WINEARCH=win32 WINEDEBUG=-all LC_ALL=C.UTF-8 \
    WINEDLLOVERRIDES="mscoree,mshtml="
[ -d "$WINEPREFIX" ] || echo "creating the Wine prefix $WINEPREFIX (once, takes a while)"
rm -f "$dir/variant_report_wine.txt" "$dir/variant_report_ours.txt"
if ! wine "$runner" "$(winpath "$src/variant_cases.txt")" "$(winpath "$dir/variant_report_wine.txt")" ||
        [ ! -s "$dir/variant_report_wine.txt" ]; then
    echo "the oleaut32 runner failed under Wine"
    exit 1
fi
echo "reference: oleaut32 of $(wine --version 2>/dev/null) (win32)"

"$native" run "$src/variant_cases.txt" "$dir/variant_report_ours.txt" || exit 1
"$native" compare "$dir/variant_report_wine.txt" "$dir/variant_report_ours.txt" \
    "$src/variant_cases.differences"
status=$?

if ! cmp -s "$src/variant_cases.expected" "$dir/variant_report_wine.txt"; then
    echo "the recorded reference $src/variant_cases.expected is not what Wine says now;"
    echo "if the cases changed on purpose: cp $dir/variant_report_wine.txt $src/variant_cases.expected"
    status=1
fi
exit $status
