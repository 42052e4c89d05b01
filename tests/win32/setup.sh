#!/usr/bin/env bash
# The setups under 32-bit Wine:  tests/win32/setup.sh BUILD_DIR   (the i686 build)
# Builds the setup targets, makes two older builds of the add-in by restamping its version
# resource (vantrel_version_info --stamp) and, in a fresh prefix of its own
# (BUILD_DIR/setup-tests), installs, upgrades (once while the DLL is held open, then
# "restarts" with wineboot -r), runs the installed examples and a script against the
# installed add-in, and uninstalls. Prints one "ok: ..." or "FAIL: ..." line per check, as
# run.sh counts them.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: setup.sh BUILD_DIR}" && pwd)
loader=/usr/lib/wine/wine
work=$build/setup-tests
prefix=$work/prefix
started=$SECONDS

check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then echo "ok: setup: $what"; else echo "FAIL: setup: $what"; fi
}

if ! "$loader" --version >/dev/null 2>&1; then
    echo "skipped: the setup tests need 32-bit Wine ($loader)"
    exit 0
fi
# Some fifty Wine processes: under qemu-user 10 about 75 s, under 7.2 most of an hour.
if grep -qs 'interpreter .*qemu-i386-static' /proc/sys/fs/binfmt_misc/qemu-i386 &&
        [[ ${VANTREL_SETUP_EMULATED:-0} != 1 ]]; then
    echo "skipped: the setup tests under qemu-user 7.2 (VANTREL_SETUP_EMULATED=1 runs them, for about an hour)"
    exit 0
fi
if [[ -z ${DISPLAY:-} ]]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
rm -rf "$work"
mkdir -p "$work/data"
if ! nice -n 10 cmake --build "$build" -j2 --target setup setup-standins vantrel_version_info \
        >"$work/build.log" 2>&1; then
    tail -20 "$work/build.log"
    echo "FAIL: setup: the setups did not build"
    exit 1
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
setup=$build/QuorilVantrel-$version-setup.exe
standins=$build/QuorilVantrelStandIns-$version-setup.exe
IFS=. read -r major minor patch <<<"$version"

export WINEPREFIX=$prefix WINEARCH=win32 WINELOADER=$loader WINEDEBUG=-all LC_ALL=C.UTF-8 \
       WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" QUORILVANTREL_DATA=$work/data
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
wine() { timeout 300 "$loader" "$@"; }
"$loader" wineboot -i >/dev/null 2>&1
# One server for all steps: each process starts at once.
"$(dirname "$loader")/wineserver" -p
info=$(winpath "$build/bin/vantrel_version_info.exe")
dir='C:\Program Files\QuorilVantrel'
unix_dir=$prefix/drive_c/Program\ Files/QuorilVantrel
dll="$dir\\QuorilVantrel.dll"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QuorilVantrel'

# value KEY NAME: the data of one registry value, or nothing.
value() {
    local which=(/v "$2") name=$2
    [[ -n $2 ]] || which=(/ve) name='(Default)'
    wine reg query "$1" "${which[@]}" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$name *REG_[A-Z_]* *//p"
}
absent() { ! wine reg query "$1" >/dev/null 2>&1; }
file_version() { wine "$info" "$1" | tr '\t' '\n' | sed -n 's/^fixed=//p'; }
same() { [[ $1 == "$2" ]] || { echo "  got \"$1\", expected \"$2\""; return 1; }; }

# Two older builds: the same DLL with older versions in its resource, each in its setup.
older=()
for minor_before in 8 9; do
    v=$((major - 1)).$minor_before.$patch
    mkdir -p "$work/$v"
    cp "$build/bin/QuorilVantrel.dll" "$work/$v/"
    wine "$info" --stamp "$(winpath "$work/$v/QuorilVantrel.dll")" "$v" &&
        makensis -V1 -DVERSION="$v" -DDLL="$work/$v/QuorilVantrel.dll" -DEXE="$build/bin/vantrel.exe" \
            -DOUTFILE="$work/QuorilVantrel-$v-setup.exe" "$here/installer/QuorilVantrel.nsi" ||
        echo "FAIL: setup: no older setup $v"
    older+=("$v")
done

# The version resources, as Explorer's properties page reads them.
wine "$info" "$(winpath "$build/bin/QuorilVantrel.dll")" "$(winpath "$build/bin/QuorilVantrelStandIns.dll")" \
    "$(winpath "$setup")" "$(winpath "$standins")" | tr -d '\r' >"$work/version-info.txt"
for file in QuorilVantrel.dll QuorilVantrelStandIns.dll "${setup##*/}" "${standins##*/}"; do
    line=$(grep -F "${file}	" "$work/version-info.txt")
    check "$file carries version $version.0, block 080904B0, company, product, description, copyright" \
        grep -qP "fixed=$version\.0\tproduct=$version\.0\tblock=080904B0\tCompanyName=QuorilVantrel\tFileDescription=[^\t]+\t.*LegalCopyright=Copyright \(C\) [0-9]{4} QuorilVantrel\t.*ProductName=QuorilVantrel" \
        <<<"$line"
done

# Bad options are refused before anything is installed.
for options in "/CoreDatAccess=Other.Core" "/CoreDataAccess=9Core" "/FolderCheck=Folder-Check" "extra"; do
    wine "$setup" /S $options
    check "'$options' is refused (exit code 2) and installs nothing" \
        test $? -eq 2 -a ! -e "$unix_dir"
done

# A fresh install of the oldest build.
wine "$work/QuorilVantrel-${older[0]}-setup.exe" /S
check "a silent install succeeds (exit code 0)" test $? -eq 0
for key in 'HKCR\QuorilVantrel.Solucao\CLSID' 'HKCR\QuorilVantrel.Result\CLSID'; do
    clsid=$(value "$key" '')
    check "$key names a class served by $dll" \
        same "$(value "HKCR\\CLSID\\$clsid\\InprocServer32" '')" "$dll"
done
typelib=$(wine reg query 'HKCR\TypeLib\{B27FBD90-222F-4956-9213-66E41A418B98}\2.0' /s | tr -d '\r')
check "the type library QuorilVantrel 2.0 is registered from $dll" \
    grep -qF "REG_SZ    $dll" <<<"$(grep -A1 '\\win32$' <<<"$typelib")"
for pair in "DisplayName=QuorilVantrel" "DisplayVersion=${older[0]}" "Publisher=QuorilVantrel" \
            "InstallLocation=$dir" "UninstallString=\"$dir\\uninstall.exe\"" \
            "QuietUninstallString=\"$dir\\uninstall.exe\" /S" "NoModify=0x1" "NoRepair=0x1"; do
    check "Programs and Features: $pair" same "$(value "$uninstall_key" "${pair%%=*}")" "${pair#*=}"
done
check "Programs and Features: EstimatedSize in KiB" \
    test $(($(value "$uninstall_key" EstimatedSize))) -ge 1000
check "with the default ProgIDs no Components key is written" \
    absent 'HKLM\Software\QuorilVantrel'
# Only the product's setup, no ERP: the setup and vantrel.exe both name what is missing.
check "the setup installs vantrel.exe beside the DLL" test -f "$unix_dir/vantrel.exe"
check "the silent setup writes to install.log that CoreDataAccess cannot be created" \
    grep -qF 'CoreDataAccess (tlkCoreDataAccess2016.CoreDataAccess)' "$unix_dir/install.log"
wine "$dir\vantrel.exe" doctor DEMO | tr -d '\r' >"$work/doctor.txt"
code=${PIPESTATUS[0]}
sed 's/^/  /' "$work/doctor.txt"
check "vantrel doctor DEMO without the ERP exits 1 and names CoreDataAccess and its ProgID" \
    test "$code" -eq 1 -a -n "$(grep -F 'FALHA  Componente CoreDataAccess: ProgID tlkCoreDataAccess2016.CoreDataAccess (por omissão) não pode ser criado' "$work/doctor.txt")"

# An upgrade that names one component.
wine "$work/QuorilVantrel-${older[1]}-setup.exe" /S /CoreDataAccess=Other.Core_2
check "an upgrade replaces the DLL (${older[1]}.0) and DisplayVersion" \
    same "$(file_version "$dll") $(value "$uninstall_key" DisplayVersion)" "${older[1]}.0 ${older[1]}"
check "/CoreDataAccess= writes that one value of the Components key" \
    same "$(wine reg query 'HKLM\Software\QuorilVantrel\Components' | tr -d '\r' | grep REG_ | xargs)" \
    "CoreDataAccess REG_SZ Other.Core_2"

# An upgrade while a host holds the DLL: replaced at the next restart, then registered.
rm -f "$prefix/drive_c/vantrel-release-lock"
wine "$info" --lock "$dll" >"$work/lock.txt" &
holder=$!
for ((i = 0; i < 100; i++)); do grep -qs locked "$work/lock.txt" && break; sleep 0.2; done
wine "$setup" /S /CoreDataAccess=tlkCoreDataAccess2016.CoreDataAccess
check "an upgrade over a DLL in use asks for a restart (exit code 3010)" test $? -eq $((3010 % 256))
check "the DLL in use stays until the restart" same "$(file_version "$dll")" "${older[1]}.0"
touch "$prefix/drive_c/vantrel-release-lock"
wait "$holder"
wine wineboot -r >/dev/null 2>&1
check "after the restart the DLL is $version.0 and DisplayVersion $version" \
    same "$(file_version "$dll") $(value "$uninstall_key" DisplayVersion)" "$version.0 $version"
check "after the restart the new DLL was registered and RunOnce is empty" \
    test -z "$(value 'HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce' QuorilVantrel)" -a \
         ! -e "$unix_dir/QuorilVantrel.dll.new"
check "choosing the default ProgID again removes the Components key" \
    absent 'HKLM\Software\QuorilVantrel'

# The stand-ins setup in a folder of our choice; the examples it installs and a script drive
# the installed add-in.
wine "$standins" /S '/D=C:\VantrelTests\StandIns'
check "the stand-ins setup installs into /D= (exit code 0)" \
    test $? -eq 0 -a -f "$prefix/drive_c/VantrelTests/StandIns/examples/demo_company.vbs"
printf '%s\r\n' 'Set sol = CreateObject("QuorilVantrel.Solucao")' \
    'bError = True: sol.App_OnEntrar "DEMO", "demo", 0, bError' \
    'WScript.Echo "entered DEMO, bError " & bError' 'sol.App_OnSair bError' >"$work/enter.vbs"
(cd "$prefix/drive_c/VantrelTests/StandIns/examples" && wine cscript //nologo demo_company.vbs &&
    wine cscript //nologo "$(winpath "$work/enter.vbs")") | tr -d '\r' >"$work/scripts.txt"
check "the installed add-in enters the installed example's company" \
    grep -qx 'entered DEMO, bError False' "$work/scripts.txt"

# Uninstalling, as Programs and Features does, keeps a company's settings file.
printf '[Api Next]\r\nLogin=demo\r\n' >"$unix_dir/VANTREL.TEST"
for key in "$uninstall_key" "${uninstall_key}StandIns"; do
    quiet=$(value "$key" QuietUninstallString)  # "C:\...\uninstall.exe" /S
    exe=${quiet%\" *}
    wine "${exe#\"}" ${quiet##*\" }
done
# The uninstallers run from a copy in the temporary folder; they end when their files go.
for ((i = 0; i < 150; i++)); do
    [[ -e $unix_dir/uninstall.exe || -e $prefix/drive_c/VantrelTests/StandIns ]] || break
    sleep 0.2
done
"$(dirname "$loader")/wineserver" -k
timeout 60 "$(dirname "$loader")/wineserver" -w
check "the uninstallers leave nothing named QuorilVantrel in the registry" \
    test -z "$(grep -iF -e QuorilVantrel -e '{14DCBDF7-37BE-4C71-B27E-B4EBBFE292CC}' \
              -e '{1E3363F4-6DA3-419E-9ACD-D9A1C4B4603B}' -e '{B27FBD90-222F-4956-9213-66E41A418B98}' \
              "$prefix/system.reg" "$prefix/user.reg")"
check "the uninstaller leaves only the company's settings file, untouched" \
    same "$(ls -A "$unix_dir" | xargs) $(cat "$unix_dir/VANTREL.TEST" | tr -d '\r' | xargs)" \
    "VANTREL.TEST [Api Next] Login=demo"
check "the stand-ins' folder is gone" test ! -e "$prefix/drive_c/VantrelTests/StandIns"
echo "setup tests: $((SECONDS - started)) s"
