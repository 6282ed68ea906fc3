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

python3 - "$kind" "$data/data.db" <<'PY' || exit 1
import random, struct, sys
kind, path = sys.argv[1], sys.argv[2]
random.seed(7)
stamp = "Thu, Dec 10, 2026, 08:15 PM"
words = ("alpha beta gamma delta order invoice street meeting project report client address "
         "phone number please thanks regards review draft schedule update notes").split()

def category(name, items):
    out = ["031", name, "0", "0", str(len(items))]
    for alias, lines, flags in items:
        out += [alias, stamp, str(len(lines))] + lines + [flags]
    return out

def text_item(n, size):
    lines, total = [], 0
    while total < size:
        line = " ".join(random.choice(words) for _ in range(random.randint(4, 12)))
        lines.append(line)
        total += len(line) + 2
    return (lines[0][:40] + " " + str(n), lines, "0001")

def bmp(width, height, seed):
    # A window-like picture: title bar, flat panels, rows of "text" strokes.
    rnd = random.Random(seed)
    rows = []
    stride = (width * 3 + 3) & ~3
    ink = [(rnd.randrange(256), rnd.randrange(256), rnd.randrange(256)) for _ in range(4)]
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            if y < 18:
                c = (40, 80, 160)
            elif x < 50:
                c = (230, 230, 230)
            elif y % 12 < 7 and (x * 7 + y * 3 + seed) % 11 < 6:
                c = ink[(x // 13 + y // 12) % 4]
            else:
                c = (255, 255, 255)
            row += bytes((c[2], c[1], c[0]))
        row += b"\0" * (stride - width * 3)
        rows.append(bytes(row))
    pixels = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels

lines = []
if kind == "text10":
    lines += category("Category1", [text_item(n, 60) for n in range(10)])
elif kind == "text100k":
    for c in range(8):
        lines += category("Category%d" % (c + 1), [text_item(n, 245) for n in range(12500)])
elif kind == "pictures2000":
    items = []
    for n in range(2000):
        side = "%s.b%d" % (path, n)
        with open(side, "wb") as f:
            f.write(bmp(200, 150, n))
        items.append(("Image: 200 x 150", [side], "0011"))
    for c in range(4):
        lines += category("Pictures%d" % (c + 1), items[c * 500:(c + 1) * 500])
else:
    sys.exit("unknown kind: " + kind)
lines.append("SK: 2.3")
with open(path, "wb") as f:
    f.write(("\r\n".join(lines) + "\r\n").encode())
PY
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
