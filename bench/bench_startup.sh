#!/usr/bin/env bash
# Start-up cost of the real program with a collection of a given kind, each
# on a virtual X server of its own. "Idle" is reached once the process's CPU
# time has not changed for 2 s; start-to-idle is the time, since launch, of
# its last CPU change, with VmRSS at that moment and the peak VmHWM.
# Kinds:
#   text10        10 short text items
#   text100k      100 000 text items of about 300 bytes in 8 categories (~34 MB file)
#   pictures2000  2 000 image items, each a 200x150 screenshot-like BMP side file
# Usage: bench/bench_startup.sh PROGRAM KIND [KIND...]
# Prints one line per kind:
#   KIND: start-to-idle X s, RSS idle Y MB, RSS peak Z MB, data file D MB, pictures P MB
set -uo pipefail
program=$(realpath "${1:?program}")
shift
[ $# -gt 0 ] || set -- text10 text100k pictures2000
here=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${SK_BENCH_ON_SERVER:-}" ]; then
    for kind in "$@"; do
        # The server's, bus's and program's chatter is not the result.
        SK_BENCH_ON_SERVER=1 "$here/tools/with-xserver" "$0" "$program" "$kind" 2>/dev/null | grep "^$kind: "
    done
    exit
fi

kind=$1
. "$here/tests/e2e/lib.sh"
trap 'kill -9 ${sk:-} 2>/dev/null; rm -rf "$home"' EXIT
mkdir -p "$data"

python3 "$here/bench/make_collection.py" "$kind" "$data/data.db" || exit 1
write_settings
sync

cpu() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null; }
status() { awk -v key="$2:" '$1 == key {print $2}' "/proc/$1/status" 2>/dev/null; }
start=$(date +%s%N)
"$program" >"$home/sk.log" 2>&1 &
sk=$!
last_cpu=-1
last_change=$start
rss_idle=0
while :; do
    now=$(date +%s%N)
    used=$(cpu "$sk")
    [ -n "$used" ] || { echo "$kind: the program ended early: $(tail -n3 "$home/sk.log" | tr '\n' ' ')"; exit 1; }
    if [ "$used" != "$last_cpu" ]; then
        last_cpu=$used
        last_change=$now
        rss_idle=$(status "$sk" VmRSS)
    elif [ $((now - last_change)) -ge 2000000000 ]; then
        break
    fi
    [ $((now - start)) -lt 300000000000 ] || { echo "$kind: never idle in 300 s"; exit 1; }
    sleep 0.05
done
peak=$(status "$sk" VmHWM)
file_bytes=$(stat -c %s "$data/data.db")
picture_bytes=$(find "$data" -name 'data.db.b*' -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }')
awk -v kind="$kind" -v t=$(((last_change - start) / 1000000)) -v rss="$rss_idle" -v peak="$peak" \
    -v file="$file_bytes" -v pictures="$picture_bytes" \
    'BEGIN { printf "%s: start-to-idle %.2f s, RSS idle %.0f MB, RSS peak %.0f MB, data file %.1f MB, pictures %.1f MB\n",
             kind, t / 1000, rss / 1024, peak / 1024, file / 1048576, pictures / 1048576 }'
