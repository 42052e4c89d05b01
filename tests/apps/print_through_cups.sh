#!/usr/bin/env bash
# vantrel report run --destino 2 --impressora NAME against a real CUPS: a private cupsd (its
# configuration, socket, spool and logs in one folder of the build) with a cups-pdf printer
# "PDF", the job read back with pdftotext, the copies from the scheduler's page log; then,
# with the server stopped, the same run lands in <data>/printed/.
#   print_through_cups.sh VANTREL SOURCE_DIR WORK_DIR
# Exit 77 (skipped) when CUPS or cups-pdf is not installed or no private mount namespace can
# be made.
#
# cups-pdf reads its settings only from /etc/cups/cups-pdf.conf. The machine's file stays as
# it is: the daemon runs in a mount namespace of its own, where a file of ours is bound over
# it, so the printer writes into this folder and nothing else sees the difference.
set -euo pipefail

vantrel=$1
source_dir=$2
work=$3

skip() {
    echo "skipped: $*"
    exit 77
}
fail() {
    echo "FAILED: $*"
    exit 1
}

for tool in cupsd lpadmin lpstat pdftotext sqlite3 unshare; do
    command -v "$tool" >/dev/null 2>&1 ||
        skip "$tool is not installed (scripts/install-deps.sh test installs it)"
done
[[ -x /usr/lib/cups/backend/cups-pdf && -f /etc/cups/cups-pdf.conf ]] ||
    skip "cups-pdf is not installed (Debian package printer-driver-cups-pdf)"
[[ -f /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ]] || skip "the cups-pdf PPD is missing"
unshare -m true 2>/dev/null || skip "no private mount namespace (needs root)"

rm -rf "$work"
mkdir -p "$work"/{etc,spool/tmp,cache,state,log,out,data/databases}
work=$(cd "$work" && pwd)
# A socket path has room for about 100 bytes.
socket=$work/cups.sock
if ((${#socket} > 100)); then
    socket_dir=$(mktemp -d /tmp/vantrel-cups.XXXXXX)
    socket=$socket_dir/cups.sock
fi

cat >"$work/etc/cupsd.conf" <<EOF
Listen $socket
LogLevel debug
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
EOF
cat >"$work/etc/cups-files.conf" <<EOF
ServerRoot $work/etc
RequestRoot $work/spool
TempDir $work/spool/tmp
CacheDir $work/cache
StateDir $work/state
AccessLog $work/log/access_log
ErrorLog $work/log/error_log
PageLog $work/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
SystemGroup root
EOF
cat >"$work/etc/cups-pdf.conf" <<EOF
Out $work/out
AnonDirName $work/out
Spool $work/spool/cups-pdf
Log $work/log
Grp root
EOF

cupsd_pid=
stop_cupsd() {
    if [[ -n $cupsd_pid ]]; then
        kill "$cupsd_pid" 2>/dev/null || true
        wait "$cupsd_pid" 2>/dev/null || true
        cupsd_pid=
    fi
}
cleanup() {
    stop_cupsd
    [[ -n ${socket_dir:-} ]] && rm -rf "$socket_dir"
    return 0
}
trap cleanup EXIT

# unshare and sh exec in turn, so the pid is the daemon's.
unshare -m sh -c "mount --bind '$work/etc/cups-pdf.conf' /etc/cups/cups-pdf.conf &&
    exec cupsd -f -c '$work/etc/cupsd.conf' -s '$work/etc/cups-files.conf'" \
    >"$work/log/cupsd.out" 2>&1 &
cupsd_pid=$!
for _ in $(seq 50); do
    # lpstat -r exits 0 whether or not the scheduler runs: only its words tell.
    lpstat -h "$socket" -r 2>/dev/null | grep -q "scheduler is running" && break
    kill -0 "$cupsd_pid" 2>/dev/null || fail "cupsd did not start: $(cat "$work/log/cupsd.out")"
    sleep 0.2
done
lpstat -h "$socket" -r | grep -q "scheduler is running" || fail "cupsd does not answer on $socket"
# The pdftops filter renders with Ghostscript by default, which draws the text as outlines
# that pdftotext cannot read; with cairo it stays text.
lpadmin -h "$socket" -p PDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
    -o pdftops-renderer-default=pdftocairo 2>/dev/null
export CUPS_SERVER=$socket
lpstat -e | grep -qx PDF || fail "lpstat -e does not list the printer PDF"

for db in RELSISTEMA RELEMPRESA; do
    sqlite3 "$work/data/databases/$db.sqlite" <"$source_dir/examples/reports/db/$db.sql"
done
run_report() {
    "$vantrel" report run "$source_dir/examples/reports/VendasPorArtigo.rpt" \
        --data "$work/data" --base RELSISTEMA --base-next RELEMPRESA \
        --pedidos "|01-07-2026|31-07-2026|A|Falso" --destino 2 --impressora pdf --vias 2 --calls
}
expect() {  # expect TEXT WHAT...: each WHAT is in TEXT
    local text=$1
    shift
    for want in "$@"; do
        grep -qF -- "$want" <<<"$text" || fail "no '$want' in:
$text"
    done
}

# The name, in another case than CUPS spells it, selects the printer; the job goes to it.
out=$(run_report) || fail "vantrel failed: $out"
expect "$out" 'SelectPrinter("cups", "PDF", "cups-pdf:/")' \
    'PrintOut(False, 2, False) -> sent to printer PDF as job ' 'output: printer PDF: PDF'
job=$(sed -n 's/.*sent to printer PDF as job \([0-9]*\),.*/\1/p' <<<"$out")

pdf=
for _ in $(seq 150); do
    if ! lpstat -o PDF | grep -q .; then
        pdf=$(find "$work/out" -name '*.pdf' -size +0 | head -n 1)
        [[ -n $pdf ]] && break
    fi
    sleep 0.2
done
[[ -n $pdf ]] || fail "job $job left no PDF in $work/out; $(tail -n 20 "$work/log/error_log")"
text=$(pdftotext -layout "$pdf" -)
expect "$text" "Vendas por artigo" "Série: A" "Parafuso" "Açúcar 1 kg" "02-07-2026" "10,80"
grep -qF "Porca" <<<"$text" && fail "series B printed: $text"
# The scheduler's page log: printer, user, job, date, "total", copies.
grep -Eq "^PDF [^ ]+ $job \[[^]]*\] total 2 " "$work/log/page_log" ||
    fail "job $job was not printed with 2 copies: $(cat "$work/log/page_log")"
[[ ! -d $work/data/printed ]] || fail "a job reached the printed folder with CUPS running"

# No server: no printer to select, so the report keeps its own, and the job lands in the
# printed folder with the copies in its name.
stop_cupsd
out=$(run_report) || fail "vantrel failed without a server: $out"
expect "$out" "(no CUPS printer Escritorio), 2 copies" "output: printed file: $work/data/printed/"
printed=$(find "$work/data/printed" -name '* x2.pdf' | head -n 1)
[[ -n $printed ]] || fail "nothing in $work/data/printed"
expect "$(pdftotext -layout "$printed" -)" "Vendas por artigo" "Açúcar 1 kg"
echo "printed through CUPS as job $job with 2 copies, and into the printed folder without it"
