#!/usr/bin/env bash
# Hotkey until the pop-up list is mapped, with a current category of 3 items
# and of 10 000 items, and the ratio of the two medians. Each size has its own
# data file and program run; the runs take turns in blocks of five rounds, so
# a slow spell of the machine falls on both sizes alike. One unmeasured
# opening starts every run. Run under tools/with-xserver.
# Usage: bench/bench_popup_size.sh build/scrapkeeper [rounds per size, default 21]
set -uo pipefail
program=${1:?program}
rounds=${2:-21}
block=5
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tests/e2e/lib.sh"
base=$home
trap 'kill -9 ${sk:-} ${zen:-} 2>/dev/null; rm -rf "$base"' EXIT
popup="List box"

# A home of its own per size: settings and a data file whose only category holds $1 items.
prepare() { # item count
    home=$base/$1
    data=$home/.local/share/scrapkeeper
    mkdir -p "$data"
    write_settings
    python3 - "$data/data.db" "$1" <<'PY'
import sys
path, count = sys.argv[1], int(sys.argv[2])
lines = ["000", "Mail", "0", "0", str(count)]
for i in range(count):
    text = f"snippet number {i} with a little text after it"
    lines += [text, "Thu, Dec 10, 2026, 08:00 PM", "1", text, "0000"]
lines.append("SK: 2.3")
open(path, "w", encoding="utf-8", newline="").write("\r\n".join(lines) + "\r\n")
PY
}
run_block() { # item count, rounds: appends one time in microseconds per round to $base/times-<count>
    HOME=$base/$1 XDG_RUNTIME_DIR=$base/$1/run
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    export HOME XDG_RUNTIME_DIR
    "$program" >>"$HOME/sk.log" 2>&1 &
    sk=$!
    for _ in $(seq 100); do xdotool search --class scrapkeeper >/dev/null 2>&1 && break; sleep 0.1; done
    sleep 1.5
    xdotool windowactivate --sync "$target" >/dev/null 2>&1
    sleep 0.3
    for round in $(seq 0 "$2"); do
        local t0 t1
        t0=$(date +%s%N)
        xdotool key ctrl+v
        for _ in $(seq 2000); do xdotool search --onlyvisible --name "^$popup\$" >/dev/null 2>&1 && break; sleep 0.002; done
        t1=$(date +%s%N)
        # Round 0 warms the run up and is not counted.
        [ "$round" -gt 0 ] && echo $(((t1 - t0) / 1000)) >>"$base/times-$1"
        xdotool key Escape
        gone "$popup" || echo "the list did not close" >&2
        sleep 0.3
    done
    kill -TERM "$sk"
    wait "$sk"
}
median() { # file of microseconds -> milliseconds
    sort -n "$1" | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'
}

prepare 3
prepare 10000
zenity --entry --title "Hotkey target" >/dev/null 2>&1 &
zen=$!
target=$(window "Hotkey target") || { echo "no target window"; exit 1; }
done_rounds=0
while [ "$done_rounds" -lt "$rounds" ]; do
    n=$((rounds - done_rounds < block ? rounds - done_rounds : block))
    run_block 3 "$n"
    run_block 10000 "$n"
    done_rounds=$((done_rounds + n))
done
small=$(median "$base/times-3")
large=$(median "$base/times-10000")
echo "hotkey -> pop-up list mapped, median of $rounds rounds:"
echo "  3 items:      $small ms"
echo "  10 000 items: $large ms"
python3 -c "print(f'  ratio:        {$large / $small:.2f}')"
