#!/usr/bin/env bash
# Round trip of a shell command against the running program: the time from
# starting `scrapkeeper list --json` on a 10 000-item category until it has
# printed everything, against a bare local-socket echo of the same number of
# bytes by a process of its own (bench_socket_echo), the floor any command
# over a socket pays. Runs on a virtual X server of its own.
# Usage: bench/bench_cli.sh PROGRAM ECHO [rounds, default 21]
# Prints:
#   list --json on 10 000 items: median X ms (N bytes)
#   socket echo: median Y ms (N bytes)
set -uo pipefail
program=$(realpath "${1:?program}")
echo_program=$(realpath "${2:?bench_socket_echo}")
rounds=${3:-21}
here=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${SK_BENCH_ON_SERVER:-}" ]; then
    SK_BENCH_ON_SERVER=1 "$here/tools/with-xserver" "$0" "$program" "$echo_program" "$rounds" 2>/dev/null |
        grep -e '^list --json' -e '^socket echo'
    exit
fi

. "$here/tests/e2e/lib.sh"
trap 'kill -9 ${sk:-} ${echo_pid:-} 2>/dev/null; rm -rf "$home"' EXIT
mkdir -p "$data"
# One category of 10 000 items of one or two lines each, as capture keeps them.
awk 'BEGIN {
    srand(7); ORS = "\r\n"
    split("alpha beta gamma delta order invoice street meeting project report client address", w, " ")
    print "031"; print "Snippets"; print "0"; print "0"; print 10000
    for (n = 0; n < 10000; ++n) {
        line = ""
        for (k = 0; k < 8; ++k) line = line w[int(rand() * 12) + 1] " "
        print line n; print "Thu, Dec 10, 2026, 08:15 PM"; print 2; print line n; print "second line " n; print "0001"
    }
    print "SK: 2.3"
}' >"$data/data.db"
start_program

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
ms_of() { # command...: wall time in ms of one run
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1 || echo "failed: $*" >&2
    t1=$(date +%s%N)
    echo $(((t1 - t0) / 1000)) | awk '{ printf "%.2f\n", $1 / 1000 }'
}

bytes=$("$program" list --json | wc -c)
[ "$bytes" -gt 100000 ] || { echo "list --json printed only $bytes bytes"; exit 1; }
"$echo_program" serve "$home/echo.socket" &
echo_pid=$!
for _ in $(seq 50); do [ -S "$home/echo.socket" ] && break; sleep 0.1; done

cli=$(for _ in $(seq "$rounds"); do ms_of "$program" list --json; done | median)
echo_ms=$(for _ in $(seq "$rounds"); do ms_of "$echo_program" send "$home/echo.socket" "$bytes"; done | median)
echo "list --json on 10 000 items: median $cli ms ($bytes bytes)"
echo "socket echo: median $echo_ms ms ($bytes bytes)"
"$program" quit
