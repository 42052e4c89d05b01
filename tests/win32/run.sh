#!/usr/bin/env bash
# The Wine suite of the Windows build:  tests/win32/run.sh BUILD_DIR [NATIVE_BUILD_DIR]
# Makes one Wine prefix inside BUILD_DIR, registers QuorilVantrel.dll and the stand-ins'
# COM server, and runs under one Xvfb display and one Wine session: the C++ driver (real
# COM, real message boxes), the VBScript files of tests/win32/vbs and the README's examples
# through cscript; then unregisters and checks that nothing of the add-in is left in the
# registry. The INI cases also run through the add-in's cInifile over kernel32 and must give
# the report that the Linux build's cInifile gives over our engine (NATIVE_BUILD_DIR, default
# build/native, holds ini_cases_native). Ends with "N passed, M failed".
#
# The add-in is a 32-bit DLL. Where the kernel cannot run 32-bit programs, the default is
# the same sources built for 64-bit Windows (BUILD_DIR/x64) under wine64. VANTREL_WINE_ARCH
# chooses: win64, or win32, which on such a kernel runs 32-bit Wine through qemu-user
# (scripts/qemu-i386.sh registers qemu 10 for i386 programs with binfmt_misc, as root). Every
# new Wine process is still slower to start there, so the whole run keeps one Wine session
# alive instead of one per step.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: run.sh BUILD_DIR [NATIVE_BUILD_DIR]}" && pwd)
native_runner=${2:-$here/build/native}/tests/wine/ini_cases_native

qemu_i386_registered() {
    [[ -f /proc/sys/fs/binfmt_misc/qemu-i386 ]] && grep -q enabled /proc/sys/fs/binfmt_misc/qemu-i386
}
ia32_native() {
    ! qemu_i386_registered && /usr/lib/wine/wine --version >/dev/null 2>&1
}
register_qemu_i386() {
    qemu_i386_registered && [[ $(sed -n 's/^interpreter //p' /proc/sys/fs/binfmt_misc/qemu-i386) != */qemu-i386-static ]] &&
        return 0
    "$here/scripts/qemu-i386.sh" "$build/qemu-i386"
}

arch=${VANTREL_WINE_ARCH:-}
if [[ -z $arch ]]; then
    if ia32_native; then arch=win32; else arch=win64; fi
fi
emulated=0
if [[ $arch == win32 ]] && ! ia32_native; then
    emulated=1
    register_qemu_i386 || exit 1
fi

# Everything from here on runs on one X display.
if [[ -z ${VANTREL_SUITE_DISPLAY:-} ]]; then
    export VANTREL_SUITE_DISPLAY=1 VANTREL_WINE_ARCH=$arch
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

if [[ $arch == win32 ]]; then
    bin=$build/bin
    loader=/usr/lib/wine/wine
    [[ $emulated -eq 1 ]] && echo "run.sh: testing the 32-bit build through qemu-user (slow)"
else
    echo "run.sh: testing the 64-bit build of the same sources under wine64"
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
    nice -n 10 cmake --build "$build/x64" -j2 --target QuorilVantrel QuorilVantrelStandIns vantrel_wine_driver vantrel_exe \
        >"$build/x64/build.log" 2>&1 || { tail -30 "$build/x64/build.log"; exit 1; }
    bin=$build/x64/bin
    loader=/usr/lib/wine/wine64
fi
wineserver=$(dirname "$loader")/wineserver
# Under emulation a step lasts minutes where it lasts seconds natively.
if [[ $emulated -eq 1 ]]; then step=1800 linger=240; else step=300 linger=5; fi

prefix=$build/wine-prefix-$arch
data=$build/wine-data
log=$build/wine-suite.log
rm -rf "$data"
mkdir -p "$data" "$prefix"
: >"$log"
# The example report and its two SQLite databases, where the stand-in report runtime looks
# for them in a data folder (<data>/databases/<catalog>.sqlite; the report under reports\).
report_data() {
    mkdir -p "$1/databases" "$1/reports" || return 1
    for sql in "$here"/examples/reports/db/*.sql; do
        rm -f "$1/databases/$(basename "$sql" .sql).sqlite"
        sqlite3 "$1/databases/$(basename "$sql" .sql).sqlite" <"$sql" || return 1
    done
    cp "$here"/examples/reports/VendasPorArtigo.rpt "$here"/examples/reports/VendasPorArtigo.txt "$1/reports/"
}
report_data "$data" || echo "FAIL: the example report's databases could not be made" | tee -a "$log"
# Heap checks: Wine's heap validates every free and fills freed blocks (a string read after
# its release reads 0xFEEEFEEE), and oleaut32 frees strings at once instead of caching them.
# Every heap warning of any step fails the run. VANTREL_WINE_HEAP_CHECK=0 leaves them out.
wine_debug=-all
if [[ ${VANTREL_WINE_HEAP_CHECK:-1} != 0 ]]; then
    wine_debug=-all,err+heap,warn+heap
    export OANOCACHE=1
fi
stderr_log=$build/wine-stderr.log
exec 2> >(tee "$stderr_log" >&2)
export QUORILVANTREL_DATA=$data WINEDEBUG=$wine_debug LC_ALL=C.UTF-8 WINEPREFIX=$prefix WINEARCH=$arch \
       WINELOADER=$loader WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# One Wine session for the whole run: a holder process keeps the desktop and the services
# alive between the steps (under emulation they take minutes to start again), and the server
# outlives the last process by $linger seconds. The holder's start creates a new prefix.
"$wineserver" -k 2>/dev/null
"$wineserver" -p"$linger"
held=$prefix/drive_c/vantrel-session-held
release=$prefix/drive_c/vantrel-release-session
rm -f "$held" "$release"
"$loader" "$(winpath "$bin/vantrel_wine_driver.exe")" --hold $((step * 4)) >/dev/null 2>&1 &
holder=$!
for ((waited = 0; waited < step; waited += 2)); do
    [[ -f $held ]] && break
    kill -0 "$holder" 2>/dev/null || break
    sleep 2
done
if [[ ! -f $held ]] ||
    ! VANTREL_WINESERVER_KEPT=1 timeout "$step" "$here/scripts/wine-prefix.sh" "$prefix" "$bin"; then
    echo "FAIL: the Wine prefix could not be prepared"
    echo "0 passed, 1 failed"
    touch "$release"
    "$wineserver" -k 2>/dev/null
    exit 1
fi

# Answers every message box of the other processes (the scripts') until told to stop.
start_presser() {
    rm -f "$prefix/drive_c/vantrel-stop-boxes"
    "$loader" "$(winpath "$bin/vantrel_wine_driver.exe")" --press-boxes "$step" >"$1" &
    presser=$!
}
stop_presser() {
    touch "$prefix/drive_c/vantrel-stop-boxes"
    wait "$presser"
    sed 's/^/  /' "$1"
}

{
    timeout "$step" "$loader" "$(winpath "$bin/vantrel_wine_driver.exe")"
    echo "driver exit: $?"
    # The report windows' screenshots that the driver took, as PNG beside the build.
    for shot in prompt viewer; do
        rm -f "$build/screenshot-$shot.png"
        if [[ -f $build/screenshot-$shot.bmp ]] &&
                convert "$build/screenshot-$shot.bmp" "$build/screenshot-$shot.png" 2>/dev/null; then
            echo "ok: screenshot of the $shot window in $build/screenshot-$shot.png"
        else
            echo "FAIL: no screenshot of the $shot window"
        fi
        rm -f "$build/screenshot-$shot.bmp"
    done
    for vbs in "$here"/tests/win32/vbs/*.vbs; do
        name=$(basename "$vbs")
        [[ $name == checks.vbs ]] && continue
        # Scripts are read in the ANSI code page (Windows-1252); the checks go in front and a
        # last line tells that the script ran to its end.
        { cat "$here/tests/win32/vbs/checks.vbs" "$vbs"; echo 'WScript.Echo "script complete"'; } |
            sed 's/$/\r/' | iconv -f UTF-8 -t CP1252 >"$build/$name"
        start_presser "$build/$name.boxes"
        echo "script: $name"
        timeout "$step" "$loader" cscript //nologo "$(winpath "$build/$name")"
        echo "script exit: $?"
        stop_presser "$build/$name.boxes"
    done

    # The README's examples as a newcomer runs them: a data folder of their own, paths as given.
    rm -rf "$build/wine-examples-data"
    mkdir -p "$build/wine-examples-data"
    report_data "$build/wine-examples-data"
    rm -f "$prefix"/drive_c/users/*/Temp/VendasPorArtigo.pdf
    start_presser "$build/examples.boxes"
    (
        cd "$here" || exit 1
        export QUORILVANTREL_DATA=$build/wine-examples-data
        timeout "$step" "$loader" cscript //nologo examples/vbscript/demo_company.vbs
        timeout "$step" "$loader" cscript //nologo examples/vbscript/surcharge_demo.vbs
        # Wine's cscript does not connect events (WScript.CreateObject with a prefix): the
        # driver's script host runs the report example.
        timeout "$step" "$loader" "$(winpath "$bin/vantrel_wine_driver.exe")" \
            --script 'examples\vbscript\RelatorioPDF.vbs'
    ) | tr -d '\r' | tee "$build/examples.txt"
    stop_presser "$build/examples.boxes"
    if grep -q '^DEMO ready in ' "$build/examples.txt"; then
        echo "ok: examples/vbscript/demo_company.vbs prepares DEMO"
    else
        echo "FAIL: examples/vbscript/demo_company.vbs did not prepare DEMO"
    fi
    if grep -qE '^Surcharge line: TXE 2[.,]25$' "$build/examples.txt" &&
            grep -q '^box: Taxa Energética | Foi alterado e finalizado o documento FT-0-' \
                "$build/examples.boxes"; then
        echo "ok: examples/vbscript/surcharge_demo.vbs shows the surcharge line (TXE at 2.25)"
    else
        echo "FAIL: examples/vbscript/surcharge_demo.vbs did not show the surcharge line"
    fi
    # The PDF (the stand-in's text account on Windows): the title and the July rows of series
    # A only; and the progress events the script received, from the first to the last.
    written=$(sed -n 's/^PDF written: [Cc]:\\//p' "$build/examples.txt")
    account=$prefix/drive_c/$(printf '%s' "$written" | tr '\\' /)
    if [[ -n $written ]] && grep -q '^Title: Vendas por artigo$' "$account" &&
            [[ $(grep -cE $'^  A\tFA [1-4]\t[0-9]{2}-07-2026\t' "$account") -eq 4 ]] &&
            ! grep -qE $'^  B\t|\tFA (9|10)\t' "$account"; then
        echo "ok: examples/vbscript/RelatorioPDF.vbs writes the report's July rows of series A"
    else
        echo "FAIL: examples/vbscript/RelatorioPDF.vbs wrote no PDF with the July rows of series A"
    fi
    if grep -q '^Rel_Executar: Verificar existência do mapa ->' "$build/examples.txt" &&
            grep -q '^Rel_Executar: FIm da Visualização PDF$' "$build/examples.txt"; then
        echo "ok: examples/vbscript/RelatorioPDF.vbs hears Executar in Rel_Executar"
    else
        echo "FAIL: examples/vbscript/RelatorioPDF.vbs heard no Executar events"
    fi

    # vantrel.exe over the stand-ins, on the company the examples prepared: every check ok;
    # with the mapping of one component pointed at a ProgID nobody registered, that component
    # is named and the exit code is 1; the settings file read back through kernel32.
    vantrel_exe=$(winpath "$bin/vantrel.exe")
    components='HKCU\Software\QuorilVantrel\Components'
    export QUORILVANTREL_DATA=$build/wine-examples-data
    timeout "$step" "$loader" "$vantrel_exe" doctor DEMO | tr -d '\r' >"$build/doctor-demo.txt"
    code=${PIPESTATUS[0]}
    sed 's/^/  /' "$build/doctor-demo.txt"
    if [[ $code -eq 0 ]] && grep -q '^Resumo: [0-9]* ok, 0 avisos, 0 falhas\.$' "$build/doctor-demo.txt" &&
            [[ $(grep -c '^ok     ' "$build/doctor-demo.txt") -ge 25 ]]; then
        echo "ok: vantrel.exe doctor DEMO reports every check ok over the stand-ins"
    else
        echo "FAIL: vantrel.exe doctor DEMO did not report every check ok (exit code $code)"
    fi
    timeout "$step" "$loader" reg add "$components" /v CoreDataAccess /d Nao.Registado.CoreDataAccess /f >/dev/null
    timeout "$step" "$loader" "$vantrel_exe" doctor DEMO --json | tr -d '\r' >"$build/doctor-missing.txt"
    code=${PIPESTATUS[0]}
    timeout "$step" "$loader" reg add "$components" /v CoreDataAccess /d QuorilVantrel.StandIns.CoreDataAccess /f >/dev/null
    if [[ $code -eq 1 ]] && grep -qF '{"check":"Componente CoreDataAccess","state":"fails","found":"ProgID Nao.Registado.CoreDataAccess (HKCU\\Software\\QuorilVantrel\\Components) não pode ser criado' "$build/doctor-missing.txt"; then
        echo "ok: vantrel.exe doctor names CoreDataAccess mapped to a ProgID nobody registered, exit code 1"
    else
        echo "FAIL: vantrel.exe doctor did not name the unregistered CoreDataAccess (exit code $code)"
        sed 's/^/  /' "$build/doctor-missing.txt"
    fi
    settings=$(winpath "$build/wine-examples-data/talmek/VANTREL.DEMO")
    got=$(timeout "$step" "$loader" "$vantrel_exe" ini get "$settings" 'Ligação' Empresa | tr -d '\r')
    if [[ $got == VANTREL_DEMO ]]; then
        echo "ok: vantrel.exe ini get reads [Ligação] Empresa through kernel32"
    else
        echo "FAIL: vantrel.exe ini get read \"$got\" for [Ligação] Empresa"
    fi
    got=$(timeout "$step" "$loader" "$vantrel_exe" --version | tr -d '\r')
    if [[ $got == "vantrel $(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")" ]]; then
        echo "ok: vantrel.exe --version prints the project's version"
    else
        echo "FAIL: vantrel.exe --version printed \"$got\""
    fi
    export QUORILVANTREL_DATA=$data
} 2>&1 | tr -d '\r' | tee -a "$log"

# cInifile: the Windows build over kernel32 against the Linux build over the engine.
ini_passed=0
ini_failed=0
if [[ -x $native_runner ]]; then
    rm -rf "$build/ini-cinifile-"*
    if timeout "$step" "$loader" "$(winpath "$bin/vantrel_wine_driver.exe")" --ini-cases \
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

# Unregistration leaves nothing of the add-in behind. The server writes the registry out
# when it is told to end the session.
touch "$build/unregistered.mark"
sleep 1
timeout "$step" "$loader" regsvr32 /s /u "$(winpath "$bin/QuorilVantrel.dll")" \
    "$(winpath "$bin/QuorilVantrelStandIns.dll")"
touch "$release"
wait "$holder"
"$wineserver" -k
timeout 120 "$wineserver" -w
if [[ $prefix/system.reg -nt $build/unregistered.mark ]]; then
    echo "ok: the registry was written out after regsvr32 /u"
else
    echo "FAIL: the registry was not written out after regsvr32 /u; the checks below say nothing"
fi | tee -a "$log"
for key in '{14DCBDF7-37BE-4C71-B27E-B4EBBFE292CC}' '{1E3363F4-6DA3-419E-9ACD-D9A1C4B4603B}' \
           '{B27FBD90-222F-4956-9213-66E41A418B98}' '{3E705369-9EA0-4E49-9694-1603B738FFD2}' \
           '{E687AA09-95A6-45AF-894E-E57F7B9D079A}' 'QuorilVantrel.Solucao' 'QuorilVantrel.Result' \
           '{4B8E2D17-6C35-4A90-B1F2-7D3E9A0C5B61}' 'QuorilVantrel.CrystalReportMain' \
           'CrystalRuntime.Application' \
           '{6C1F4A52-8D3B-4E27-A9C4-2B7E5D0F3A81}' 'QuorilVantrel.frmDocCrystal' \
           'CRVIEWERLibCtl.CRViewer' 'CrystalActiveXReportViewerLib10Ctl.' \
           'QuorilVantrel.StandIns.'; do
    if grep -qiF "$key" "$prefix/system.reg"; then
        echo "FAIL: after regsvr32 /u the registry still names $key"
    else
        echo "ok: after regsvr32 /u the registry no longer names $key"
    fi
done | tee -a "$log"

# The setups, in a prefix of their own (32-bit only: the setup installs the i686 DLL).
[[ $arch == win32 ]] && "$here/tests/win32/setup.sh" "$build" 2>&1 | tee -a "$log"

# Heap misuse that Wine reported in any step.
sleep 1  # the last lines of the stderr copy
grep -hE ':(err|warn):heap:' "$log" "$stderr_log" | sed 's/^/FAIL: heap: /' | tee -a "$log"

# The driver's own count, plus one check per script line and per script run.
driver=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | head -1)
passed=${driver%% passed*}
failed=${driver#*, }
failed=${failed%% failed}
[[ -z $driver ]] && { passed=0; failed=1; echo "FAIL: the driver printed no result"; }
grep -q '^driver exit: 0$' "$log" || [[ $failed -gt 0 ]] || failed=$((failed + 1))
oks=$(grep -c '^ok: ' "$log")
fails=$(grep -c '^FAIL: ' "$log")
driver_fails=$(sed -n '1,/^[0-9]* passed, [0-9]* failed$/p' "$log" | grep -c '^FAIL: ')
# cInifile cases that differ are counted once, from the comparison's own count.
cinifile_fails=$(grep -c '^FAIL: cInifile case ' "$log")
scripts_failed=$(grep -c '^script exit: [^0]' "$log")
scripts=$(grep -c '^script: ' "$log")
complete=$(grep -c '^script complete$' "$log")
if [[ $complete -ne $scripts ]]; then
    echo "FAIL: $((scripts - complete)) script(s) stopped before their end"
    scripts_failed=$((scripts_failed + scripts - complete))
fi
passed=$((passed + oks + ini_passed))
failed=$((failed + fails - driver_fails - cinifile_fails + scripts_failed + ini_failed))
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
