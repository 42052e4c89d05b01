#!/bin/sh
# The INI differential test: runs the cases through kernel32 under Wine and through our
# profile engine, and compares the two reports case by case. It also checks that the
# recorded reference (ini_cases.expected, which the unit tests use) is what Wine says now.
# The cases where kernel32 loses data and the engine does not must get the engine's own
# answers, ini_cases_engine.expected beside the reference.
#   run_ini_differential.sh CASES RECORDED_REFERENCE BUILD_FOLDER NATIVE_RUNNER
# Exits 77 (ctest: skipped) only when Wine or the mingw-w64-built driver is missing.
set -u
cases=$1
recorded=$2
dir=$3
native=$4
ours=$(dirname "$recorded")/ini_cases_engine.expected

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# kernel32's profile code is the same in 32-bit and 64-bit Wine. The 64-bit driver runs
# natively wherever wine64 is installed; 32-bit Wine may run only through an emulator (a
# kernel without 32-bit support plus qemu-user), far too slowly, so it is the fallback.
# VANTREL_INI_WINE=win32 asks for the 32-bit driver.
wine64=$(command -v wine64 2>/dev/null || true)
[ -z "$wine64" ] && [ -x /usr/lib/wine/wine64 ] && wine64=/usr/lib/wine/wine64
if [ "${VANTREL_INI_WINE:-}" != win32 ] && [ -n "$wine64" ] && [ -f "$dir/ini_driver64.exe" ]; then
    loader=$wine64
    arch=win64
    driver=$dir/ini_driver64.exe
    export WINELOADER="$loader"
elif [ -f "$dir/ini_driver32.exe" ] && command -v wine >/dev/null 2>&1 && wine --version >/dev/null 2>&1; then
    loader=wine
    arch=win32
    driver=$dir/ini_driver32.exe
else
    echo "skipped: no Wine that runs here, or no mingw-w64 driver (packages wine64 and"
    echo "g++-mingw-w64-x86-64-win32, or wine32 and g++-mingw-w64-i686)"
    exit 77
fi

# No Mono or Gecko: their installers would wait for a click while the prefix is created.
export WINEPREFIX="$dir/wineprefix-$arch" WINEARCH=$arch WINEDEBUG=-all LC_ALL=C.UTF-8 \
    WINEDLLOVERRIDES="mscoree,mshtml="
[ -d "$WINEPREFIX" ] || echo "creating the Wine prefix $WINEPREFIX (once, takes a while)"
rm -f "$dir/ini_report_wine.txt" "$dir/ini_report_engine.txt"
if ! "$loader" "$driver" "$(winpath "$cases")" "$(winpath "$dir/ini_work_wine")" \
        "$(winpath "$dir/ini_report_wine.txt")" || [ ! -s "$dir/ini_report_wine.txt" ]; then
    echo "the kernel32 driver failed under $loader ($arch)"
    exit 1
fi
echo "reference: kernel32 of $("$loader" --version 2>/dev/null) ($arch)"

"$native" run "$cases" "$dir/ini_work_native" "$(winpath "$dir/ini_work_native")" \
    "$dir/ini_report_engine.txt" || exit 1
"$native" compare "$dir/ini_report_wine.txt" "$dir/ini_report_engine.txt" "$ours"
status=$?

if ! cmp -s "$recorded" "$dir/ini_report_wine.txt"; then
    echo "the recorded reference $recorded is not what Wine says now;"
    echo "if the cases changed on purpose: cp $dir/ini_report_wine.txt $recorded"
    status=1
fi
exit $status
