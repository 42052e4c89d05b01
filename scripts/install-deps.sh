#!/usr/bin/env bash
# Installs what the builds need from Debian's packages, only what is missing.
#   scripts/install-deps.sh native   compiler, CMake, SQLite and the report runtime stand-in's
#                                    output libraries (cairo, pango, libxlsxwriter, GMime, CUPS)
#                                    with a font, enough for vantrel
#   scripts/install-deps.sh test     also GoogleTest, Google Benchmark, mingw-w64, Wine, Xvfb, npm,
#                                    and, where the kernel runs no 32-bit programs, an i386
#                                    emulator for 32-bit Wine (scripts/qemu-i386.sh), and
#                                    poppler-utils and unzip to read the reports' outputs back,
#                                    ImageMagick for the report windows' screenshots, CUPS
#                                    with cups-pdf and the sqlite3 shell for the printing test
#                                    (the test runs a cupsd of its own and needs none running),
#                                    clang with libFuzzer for the fuzz targets (fuzz/run.sh),
#                                    and clang-format for the formatting check
set -euo pipefail

want=(build-essential cmake g++ libsqlite3-dev pkg-config
      libcairo2-dev libpango1.0-dev libxlsxwriter-dev libgmime-3.0-dev libcups2-dev fonts-dejavu-core)
if [[ "${1:-native}" == "test" ]]; then
    want+=(googletest libgtest-dev libgmock-dev libbenchmark-dev
           g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-win32 mingw-w64-tools libwine-dev nsis
           wine wine64 wine32:i386 xvfb xauth poppler-utils unzip imagemagick
           cups printer-driver-cups-pdf sqlite3 clang libclang-rt-14-dev clang-format)
    # npm fetches SQLite's amalgamation for the Windows build; any working npm will do.
    command -v npm >/dev/null 2>&1 || want+=(npm)
fi

missing=()
for p in "${want[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [[ ${#missing[@]} -gt 0 ]]; then
    if [[ $(id -u) -ne 0 ]]; then
        echo "missing packages: ${missing[*]} (run as root to install them)" >&2
        exit 1
    fi
    if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
        dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    echo "installed: ${missing[*]}"
fi

# 32-bit Wine on a kernel that refuses 32-bit programs: an i386 emulator (nothing otherwise).
if [[ "${1:-native}" == "test" && $(id -u) -eq 0 ]]; then
    bash "$(dirname "$0")/qemu-i386.sh" "$(cd "$(dirname "$0")/.." && pwd)/build/qemu-i386"
fi
