#!/usr/bin/env bash
# Lets a kernel that refuses 32-bit programs run 32-bit Wine, through qemu-user:
#   scripts/qemu-i386.sh [WORK_DIR]
# Installs an i386 emulator and registers it with binfmt_misc for i386 ELF programs (as root).
# Prints nothing on a kernel that runs 32-bit programs itself, and changes nothing there.
#
# Which qemu matters: Debian 12's qemu-user-static (7.2) ignores the address hints of Wine's
# start-up reservations, so every 32-bit Wine process walks its address space for about a
# minute (532 s for one `wine cmd /c echo hi` under load; 4 s with qemu 10). So the emulator is
# the static qemu-i386 of Debian 13's qemu-user package, fetched with a private apt
# configuration under WORK_DIR (default build/qemu-i386) from the machine's own Debian
# source, only the suite changed, and installed as /usr/local/lib/quorilvantrel/qemu-i386 so
# that the binfmt entry never points into a build folder. If that cannot be had, Debian 12's
# qemu-user-static serves, slowly.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$here/build/qemu-i386}
fast=/usr/local/lib/quorilvantrel/qemu-i386
entry=/proc/sys/fs/binfmt_misc/qemu-i386
say() { echo "qemu-i386.sh: $*" >&2; }

registered_interpreter() {
    [[ -f $entry ]] && grep -q '^enabled' "$entry" && sed -n 's/^interpreter //p' "$entry"
}
# Natively: 32-bit Wine starts without any emulator registered. VANTREL_EMULATE_I386=1
# registers the emulator all the same (binfmt_misc comes before the kernel's own ELF loader),
# to try the emulated road on such a machine; `echo -1 >/proc/sys/fs/binfmt_misc/qemu-i386`
# undoes it.
if [[ ${VANTREL_EMULATE_I386:-0} != 1 && -z $(registered_interpreter) ]] &&
        /usr/lib/wine/wine --version >/dev/null 2>&1; then
    exit 0
fi
[[ $(id -u) -eq 0 ]] || { say "registering an i386 emulator needs root"; exit 1; }

# qemu 8 and later honour the address hints; 7.2 does not.
fast_enough() {
    local v
    v=$("$1" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p')
    [[ -n $v && $v -ge 8 ]]
}

fetch_fast() {
    local codename uri keyring deb
    # The machine's own Debian source for its release, as apt sees it (either sources format).
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    uri=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Created-By: Packages' \
              'Component: main' 2>/dev/null | awk -v c="$codename" '$2 == c { print $1; exit }')
    [[ -n $uri ]] || { say "no Debian source for '$codename' in the apt configuration"; return 1; }
    keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    [[ -f $keyring ]] || { say "$keyring is missing"; return 1; }
    rm -rf "$work"
    mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/download"
    echo "deb [arch=$(dpkg --print-architecture) signed-by=$keyring] $uri trixie main" >"$work/sources.list"
    local apt_opts=(-o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
                    -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache"
                    -o Dir::State::status=/dev/null -o Debug::NoLocking=1
                    -o APT::Sandbox::User=root)
    apt-get "${apt_opts[@]}" -qq update >"$work/apt.log" 2>&1 || { say "apt update failed: $(tail -1 "$work/apt.log")"; return 1; }
    (cd "$work/download" && apt-get "${apt_opts[@]}" -qq download qemu-user) >>"$work/apt.log" 2>&1 ||
        { say "downloading qemu-user failed: $(tail -1 "$work/apt.log")"; return 1; }
    deb=$(ls "$work"/download/qemu-user_*.deb 2>/dev/null | head -1)
    [[ -n $deb ]] || return 1
    dpkg -x "$deb" "$work/extracted"
    fast_enough "$work/extracted/usr/bin/qemu-i386" || { say "the fetched qemu-i386 does not run"; return 1; }
    install -D -m 0755 "$work/extracted/usr/bin/qemu-i386" "$fast"
    rm -rf "$work/download" "$work/extracted" "$work/cache"
    say "installed $("$fast" --version | head -1) as $fast"
}

emulator=$fast
if ! fast_enough "$fast" && ! fetch_fast; then
    say "falling back to Debian 12's qemu-user-static: every 32-bit Wine start takes about a minute"
    emulator=/usr/bin/qemu-i386-static
    [[ -x $emulator ]] || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        --no-install-recommends qemu-user-static >/dev/null
fi

[[ -f /proc/sys/fs/binfmt_misc/register ]] ||
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
current=$(registered_interpreter || true)
[[ $current == "$emulator" ]] && exit 0
# Another emulator (the slow one, or a package's entry) would keep serving i386 programs.
[[ -f $entry ]] && echo -1 >"$entry"
# i386 ELF executables and shared objects; F: the emulator is opened now, so it also serves
# processes in other mount namespaces.
printf '%s' ":qemu-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$emulator:F" \
    >/proc/sys/fs/binfmt_misc/register
say "registered $emulator for 32-bit programs (binfmt_misc)"
