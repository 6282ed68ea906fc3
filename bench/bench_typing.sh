#!/usr/bin/env bash
# "Enter keystrokes" into a real terminal: 2000 characters (ASCII, accented
# Latin and characters absent from the keyboard layout) typed by the program
# into xterm running cat into a file, with the fixed 1 ms pacing; reports
# characters per second and whether every character arrived. Also times the
# hotkey until the pop-up list is mapped, beside a minimal Qt window shown on
# the same keystroke. The terminal does not echo, so its font rendering is
# not what is timed. Run under tools/with-xserver.
# Usage: bench/bench_typing.sh build/scrapkeeper build/bench/bench_hotkey_window [rounds]
set -uo pipefail
program=${1:?program}
minimal=${2:?minimal window program}
rounds=${3:-15}
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tests/e2e/lib.sh"
trap 'kill -9 ${sk:-} ${term:-} ${mini:-} 2>/dev/null; rm -rf "$home"' EXIT
returning_user global=1 gpaste=1

python3 - "$home/text.txt" <<'PY'
import random, sys
random.seed(5)
ascii_ = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,;:-_!?()[]{}@#$%&*+=/"
accented = "éèêëàâäôöûüçñÉÀÇÑ"
absent = "€ŁŒœ→✓Ω"
out = []
while len(out) < 2000:
    r = random.random()
    out.append(random.choice(accented) if r < 0.06 else random.choice(absent) if r < 0.09 else random.choice(ascii_))
open(sys.argv[1], "w", encoding="utf-8").write("".join(out[:2000]))
PY

"$program" >"$home/sk.log" 2>&1 &
sk=$!
sleep 2
xclip -selection clipboard -i "$home/text.txt" >/dev/null 2>&1
sleep 0.8
xterm -fa 'DejaVu Sans Mono' -title "Typing target" -e sh -c "stty -icanon -echo; cat > '$home/typed.txt'" &
term=$!
id=$(window "Typing target") && xdotool windowactivate --sync "$id" >/dev/null 2>&1
sleep 0.5
xdotool key ctrl+v
window "List box" >/dev/null || { echo "no list"; exit 1; }
start=$(date +%s.%N)
xdotool key Return
expected=$(wc -c <"$home/text.txt")
for _ in $(seq 600); do
    [ "$(wc -c <"$home/typed.txt" 2>/dev/null || echo 0)" -ge "$expected" ] && break
    sleep 0.05
done
end=$(date +%s.%N)
chars=$(python3 -c "print(len(open('$home/typed.txt', encoding='utf-8', errors='replace').read()))")
correct=$(cmp -s "$home/text.txt" "$home/typed.txt" && echo yes || echo no)
python3 -c "print(f'typing: {$chars} characters in {$end - $start:.2f} s = {$chars / ($end - $start):.0f} characters/s; all arrived correctly: $correct')"
kill "$term" 2>/dev/null

# Hotkey to pop-up list mapped, beside a minimal Qt window on the same keystroke.
measure() { # window title, count
    local total=()
    for _ in $(seq "$2"); do
        local t0 t1
        t0=$(date +%s%N)
        xdotool key ctrl+v
        for _ in $(seq 400); do xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 && break; sleep 0.002; done
        t1=$(date +%s%N)
        total+=($(( (t1 - t0) / 1000 )))
        xdotool key Escape
        sleep 0.3
    done
    printf '%s\n' "${total[@]}" | sort -n | awk '{a[NR]=$1} END {printf "median %.1f ms", a[int((NR+1)/2)]/1000}'
}
zenity --entry --title "Hotkey target" >/dev/null 2>&1 &
zen=$!
id=$(window "Hotkey target") && xdotool windowactivate --sync "$id" >/dev/null 2>&1
sleep 0.5
echo "hotkey -> pop-up list mapped: $(measure "List box" "$rounds")"
kill -TERM "$sk"; wait "$sk"
"$minimal" >/dev/null 2>&1 &
mini=$!
sleep 1
xdotool windowactivate --sync "$id" >/dev/null 2>&1
echo "hotkey -> minimal Qt window: $(measure "Minimal window" "$rounds")"
kill "$zen" "$mini" 2>/dev/null
