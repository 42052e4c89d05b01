#!/usr/bin/env bash
# Creates or updates a Wine prefix in which the add-in can be driven from a script:
#   scripts/wine-prefix.sh DIR [BIN_DIR]
# DIR is the prefix; BIN_DIR holds QuorilVantrel.dll and QuorilVantrelStandIns.dll
# (default: build/win32/bin). 32-bit DLLs get a 32-bit prefix (WINEARCH=win32), 64-bit ones
# (the test build for kernels without 32-bit support) a 64-bit prefix. Both DLLs are
# registered (regsvr32) and HKCU\Software\QuorilVantrel\Components names the stand-ins (the
# save dialog of the report outputs among them: the system's save-file window), so
#   WINEPREFIX=DIR wine cscript //nologo file.vbs
# creates QuorilVantrel.Solucao and drives it against the stand-in ERP. The stand-ins keep
# their data in QUORILVANTREL_DATA (a Unix folder; Wine passes the environment through).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
prefix=${1:?usage: wine-prefix.sh DIR [BIN_DIR]}
bin=${2:-$here/build/win32/bin}
[[ -f $bin/QuorilVantrel.dll && -f $bin/QuorilVantrelStandIns.dll ]] || {
    echo "wine-prefix.sh: no QuorilVantrel.dll and QuorilVantrelStandIns.dll in $bin" >&2
    exit 1
}
mkdir -p "$(dirname "$prefix")"
prefix=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")

# Which Wine runs these DLLs: the machine of the DLL decides.
if od -An -tx1 -j$(( $(od -An -tu4 -j60 -N4 "$bin/QuorilVantrel.dll") + 4 )) -N2 "$bin/QuorilVantrel.dll" |
        grep -q '64 86'; then
    arch=win64
    loader=/usr/lib/wine/wine64
else
    arch=win32
    loader=/usr/lib/wine/wine
    # A kernel without 32-bit support runs 32-bit Wine only through qemu-user.
    if ! "$loader" --version >/dev/null 2>&1; then
        echo "wine-prefix.sh: this kernel cannot run 32-bit Wine; use the 64-bit test build" \
             "(tests/win32/run.sh makes it), or register qemu-user for i386 programs" \
             "(VANTREL_WINE_ARCH=win32 tests/win32/run.sh does, as root)" >&2
        exit 1
    fi
fi
[[ -x $loader ]] || { echo "wine-prefix.sh: $loader is missing (packages wine32/wine64)" >&2; exit 1; }

export WINEPREFIX=$prefix WINEARCH=$arch WINELOADER=$loader WINEDEBUG=${WINEDEBUG:--all}
# No Mono, Gecko or menu entries: their installers would wait for a click.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# A live Wine session may not have written system.reg yet; wineboot's stamp tells as well.
if [[ ! -f $prefix/system.reg && ! -f $prefix/.update-timestamp ]]; then
    echo "wine-prefix.sh: creating the $arch prefix $prefix"
    "$loader" wineboot -i >/dev/null 2>&1 || true
fi
for dll in QuorilVantrelStandIns.dll QuorilVantrel.dll; do
    "$loader" regsvr32 /s "$(winpath "$bin/$dll")" >/dev/null 2>&1 ||
        { echo "wine-prefix.sh: regsvr32 $dll failed" >&2; exit 1; }
done
reg=$prefix/drive_c/vantrel-components.reg
{
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\QuorilVantrel\\Components]\r\n'
    for c in CoreDataAccess ConnectionSettings NextApiConnection SharedFolders FolderCheck SaveDialog; do
        printf '"%s"="QuorilVantrel.StandIns.%s"\r\n' "$c" "$c"
    done
} > "$reg"
"$loader" regedit /s 'C:\vantrel-components.reg' >/dev/null 2>&1
# The registry reaches the prefix's files when the Wine session ends; a caller that keeps
# the session for more steps (VANTREL_WINESERVER_KEPT) does not wait for that.
[[ -n ${VANTREL_WINESERVER_KEPT:-} ]] || "$(dirname "$loader")/wineserver" -w 2>/dev/null || true
echo "wine-prefix.sh: $prefix ready ($arch): WINEPREFIX=$prefix WINELOADER=$loader $loader cscript //nologo file.vbs"
