#!/usr/bin/env bash
# The Wine suite of the Windows build:  tests/win32/run.sh BUILD_DIR [NATIVE_BUILD_DIR]
# Makes one Wine prefix inside BUILD_DIR, registers QuorilVantrel.dll and the stand-ins'
# COM server, and runs under one Xvfb session: the C++ driver (real COM, real message boxes)
# and the VBScript files of tests/win32/vbs through cscript; then unregisters and checks
# that nothing of the add-in is left in the registry. The INI cases also run through the
# add-in's cInifile over kernel32 and must give the report that the Linux build's cInifile
# gives over our engine (NATIVE_BUILD_DIR, default build/native, holds ini_cases_native).
# Ends with "N passed, M failed".
#
# The add-in is a 32-bit DLL. Where the kernel cannot run 32-bit programs (no ia32
# emulation; 32-bit Wine would run only through qemu-user, far too slowly), the same
# sources are built for 64-bit Windows in BUILD_DIR/x64 and run under wine64.
# VANTREL_WINE_ARCH=win32 or win64 forces the choice.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: run.sh BUILD_DIR [NATIVE_BUILD_DIR]}" && pwd)
native_runner=${2:-$here/build/native}/tests/wine/ini_cases_native

ia32_native() {
    # 32-bit programs run natively unless the kernel refuses them or only an emulator
    # registered with binfmt_misc runs them.
    [[ -f /proc/sys/fs/binfmt_misc/qemu-i386 ]] && grep -q enabled /proc/sys/fs/binfmt_misc/qemu-i386 && return 1
    /usr/lib/wine/wine --version >/dev/null 2>&1
}
arch=${VANTREL_WINE_ARCH:-}
if [[ -z $arch ]]; then
    if ia32_native; then arch=win32; else arch=win64; fi
fi
if [[ $arch == win32 ]]; then
    bin=$build/bin
else
    echo "run.sh: no native 32-bit support here; testing the 64-bit build of the same sources"
    if [[ ! -x /usr/bin/x86_64-w64-mingw32-g++-posix || ! -x /usr/lib/wine/wine64 ]]; then
        if [[ $(id -u) -eq 0 ]]; then
            DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
                g++-mingw-w64-x86-64-posix wine64 >/dev/null || exit 1
        else
            echo "run.sh: needs g++-mingw-w64-x86-64-posix and wine64" >&2
            exit 1
        fi
    fi
    cmake -S "$here" -B "$build/x64" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
    nice -n 10 cmake --build "$build/x64" -j2 --target QuorilVantrel QuorilVantrelStandIns vantrel_wine_driver \
        >"$build/x64/build.log" 2>&1 || { tail -30 "$build/x64/build.log"; exit 1; }
    bin=$build/x64/bin
fi

prefix=$build/wine-prefix-$arch
data=$build/wine-data
rm -rf "$data"
mkdir -p "$data"
export QUORILVANTREL_DATA=$data WINEDEBUG=-all LC_ALL=C.UTF-8
"$here/scripts/wine-prefix.sh" "$prefix" "$bin" || exit 1
if [[ $arch == win64 ]]; then loader=/usr/lib/wine/wine64; else loader=/usr/lib/wine/wine; fi
export WINEPREFIX=$prefix WINEARCH=$arch WINELOADER=$loader WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# Everything that needs a display runs in one Xvfb session.
session=$build/wine-session.sh
log=$build/wine-suite.log
cat >"$session" <<SESSION
set -u
"$loader" "$(winpath "$bin/vantrel_wine_driver.exe")"
echo "driver exit: \$?"
for vbs in "$here"/tests/win32/vbs/*.vbs; do
    name=\$(basename "\$vbs")
    [[ \$name == checks.vbs ]] && continue
    # Scripts are read in the ANSI code page (Windows-1252); the checks go in front and a
    # last line tells that the script ran to its end.
    { cat "$here/tests/win32/vbs/checks.vbs" "\$vbs"; echo 'WScript.Echo "script complete"'; } |
        sed 's/\$/\r/' | iconv -f UTF-8 -t CP1252 > "$build/\$name"
    rm -f "$prefix/drive_c/vantrel-stop-boxes"
    "$loader" "$(winpath "$bin/vantrel_wine_driver.exe")" --press-boxes 120 > "$build/\$name.boxes" &
    presser=\$!
    echo "script: \$name"
    "$loader" cscript //nologo "\$(printf 'Z:%s' "$build/\$name" | tr / '\\\\')"
    echo "script exit: \$?"
    touch "$prefix/drive_c/vantrel-stop-boxes"
    wait \$presser
    sed 's/^/  /' "$build/\$name.boxes"
done
# The README's examples as a newcomer runs them: a data folder of their own, paths as given.
rm -rf "$build/wine-examples-data"
mkdir -p "$build/wine-examples-data"
export QUORILVANTREL_DATA="$build/wine-examples-data"
rm -f "$prefix/drive_c/vantrel-stop-boxes"
"$loader" "$(winpath "$bin/vantrel_wine_driver.exe")" --press-boxes 120 > "$build/examples.boxes" &
presser=\$!
cd "$here"
"$loader" cscript //nologo examples/vbscript/demo_company.vbs | tee "$build/examples.out"
"$loader" cscript //nologo examples/vbscript/surcharge_demo.vbs | tee -a "$build/examples.out"
touch "$prefix/drive_c/vantrel-stop-boxes"
wait \$presser
sed 's/^/  /' "$build/examples.boxes"
tr -d '\\r' < "$build/examples.out" > "$build/examples.txt"
if grep -q '^DEMO ready in ' "$build/examples.txt"; then
    echo "ok: examples/vbscript/demo_company.vbs prepares DEMO"
else
    echo "FAIL: examples/vbscript/demo_company.vbs did not prepare DEMO"
fi
if grep -qE '^Surcharge line: TXE 2[.,]25\$' "$build/examples.txt" &&
        grep -q '^box: Taxa Energética | Foi alterado e finalizado o documento FT-0-' "$build/examples.boxes"; then
    echo "ok: examples/vbscript/surcharge_demo.vbs shows the surcharge line (TXE at 2.25)"
else
    echo "FAIL: examples/vbscript/surcharge_demo.vbs did not show the surcharge line"
fi
SESSION
timeout 1200 xvfb-run -a bash "$session" 2>&1 | tr -d '\r' | tee "$log"

# Unregistration leaves nothing of the add-in behind.
"$loader" regsvr32 /s /u "$(winpath "$bin/QuorilVantrel.dll")"
"$loader" regsvr32 /s /u "$(winpath "$bin/QuorilVantrelStandIns.dll")"
"$(dirname "$loader")/wineserver" -w
left=0
for key in '{14DCBDF7-37BE-4C71-B27E-B4EBBFE292CC}' '{1E3363F4-6DA3-419E-9ACD-D9A1C4B4603B}' \
           '{B27FBD90-222F-4956-9213-66E41A418B98}' '{3E705369-9EA0-4E49-9694-1603B738FFD2}' \
           '{E687AA09-95A6-45AF-894E-E57F7B9D079A}' 'QuorilVantrel.Solucao' 'QuorilVantrel.Result' \
           'QuorilVantrel.StandIns.'; do
    if grep -qiF "$key" "$prefix/system.reg"; then
        echo "FAIL: after regsvr32 /u the registry still names $key"
        left=$((left + 1))
    else
        echo "ok: after regsvr32 /u the registry no longer names $key"
    fi
done | tee -a "$log"

# cInifile: the Windows build over kernel32 against the Linux build over the engine.
ini_passed=0
ini_failed=0
if [[ -x $native_runner ]]; then
    rm -rf "$build/ini-cinifile-"*
    if "$loader" "$(winpath "$bin/vantrel_wine_driver.exe")" --ini-cases \
            "$(winpath "$here/tests/wine/ini_cases.txt")" "$(winpath "$build/ini-cinifile-work")" \
            "$(winpath "$build/ini-cinifile-kernel32.txt")" &&
        "$native_runner" run-cinifile "$here/tests/wine/ini_cases.txt" "$build/ini-cinifile-native" \
            "$(winpath "$build/ini-cinifile-native")" "$build/ini-cinifile-engine.txt"; then
        "$native_runner" compare "$build/ini-cinifile-kernel32.txt" "$build/ini-cinifile-engine.txt" \
            >"$build/ini-cinifile.log"
        sed 's/^FAIL /FAIL: cInifile case /' "$build/ini-cinifile.log" | grep -v ' passed, ' | tee -a "$log"
        counts=$(tail -1 "$build/ini-cinifile.log")
        ini_passed=${counts%% passed*}
        ini_failed=${counts#*, }
        ini_failed=${ini_failed%% failed}
        echo "cInifile over kernel32 against cInifile over the engine: $counts" | tee -a "$log"
    else
        echo "FAIL: the cInifile cases did not run" | tee -a "$log"
    fi
else
    echo "skipped: the cInifile comparison needs $native_runner (the Linux build)" | tee -a "$log"
fi
"$(dirname "$loader")/wineserver" -k 2>/dev/null || true

# The driver's own count, plus one check per script line and per script run.
driver=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -1)
passed=${driver%% passed*}
failed=${driver#*, }
failed=${failed%% failed}
[[ -z $driver ]] && { passed=0; failed=1; echo "FAIL: the driver printed no result"; }
grep -q '^driver exit: 0$' "$log" || [[ $failed -gt 0 ]] || failed=$((failed + 1))
oks=$(grep -c '^ok: ' "$log")
fails=$(grep -c '^FAIL: ' "$log")
driver_fails=$(sed -n '1,/^[0-9]* passed, [0-9]* failed$/p' "$log" | grep -c '^FAIL: ')
scripts_failed=$(grep -c '^script exit: [^0]' "$log")
scripts=$(grep -c '^script: ' "$log")
complete=$(grep -c '^script complete$' "$log")
if [[ $complete -ne $scripts ]]; then
    echo "FAIL: $((scripts - complete)) script(s) stopped before their end"
    scripts_failed=$((scripts_failed + scripts - complete))
fi
# cInifile cases that differ are counted once, from the comparison's own count.
cinifile_fails=$(grep -c '^FAIL: cInifile case ' "$log")
passed=$((passed + oks + ini_passed))
failed=$((failed + fails - driver_fails - cinifile_fails + scripts_failed + ini_failed))
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
