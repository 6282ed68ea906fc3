#!/usr/bin/env bash
# Every benchmark of the program in one run. Each benchmark's own lines are
# printed as they come, followed by the headline figures as ratios to a
# baseline measured in the same run, so a busy and a quiet machine can be
# compared. The desktop parts run on private virtual X servers.
# Usage: bench/run-all.sh [build dir, default build] [kills, default 200]
# Needs a build with benchmarks and tests (the default configuration).
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$here/build}")
kills=${2:-200}
program=$build/scrapkeeper
headlines=()

section() { printf '\n== %s\n' "$1"; }
# The first number after `label` on the line of `text` that starts with `label`.
figure() {
    printf '%s\n' "$1" | awk -v label="$2" 'index($0, label) == 1 {
        rest = substr($0, length(label) + 1)
        if (match(rest, /[0-9]+(\.[0-9]+)?/)) { print substr(rest, RSTART, RLENGTH); exit } }'
}
# Remembers a headline: what, value, baseline, goal for the ratio.
headline() {
    if [ -z "$2" ] || [ -z "$3" ]; then
        headlines+=("$(printf '%-52s (not measured)' "$1")")
        return
    fi
    headlines+=("$(python3 -c 'import sys; what, v, b, goal = sys.argv[1], float(sys.argv[2]), float(sys.argv[3]), sys.argv[4]
print(f"{what:<52} {v:9.2f} / {b:9.2f} = {v / b:6.2f}   {goal}")' "$@")")
}

section "Data file: 100 000 items (baseline: reading, splitting and writing the bytes alone)"
out=$("$build/bench/bench_datafile" 2>/dev/null)
printf '%s\n' "$out"
headline "data file load + save, ms / baseline ms" \
    "$(python3 -c "print($(figure "$out" "load into model:") + $(figure "$out" "save from model:"))" 2>/dev/null)" \
    "$(figure "$out" "baseline read+split+write:")" "goal <= 2.00"

section "RTF reading (baseline: scanning the document's bytes once)"
out=$(QT_QPA_PLATFORM=offscreen "$build/bench/bench_rtf" 2>/dev/null)
printf '%s\n' "$out"
read_speed=$(printf '%s\n' "$out" | awk '/^read:/ {print $4}')
headline "RTF read MB/s / scan MB/s (goal: read >= 50 MB/s)" "$read_speed" "$(printf '%s\n' "$out" | awk '/^scan once:/ {print $5}')" \
    "read $read_speed MB/s"

section "HTML copies (baseline: Qt's own HTML import of the same markup alone)"
out=$(QT_QPA_PLATFORM=offscreen "$build/bench/bench_html" 2>/dev/null)
printf '%s\n' "$out"
headline "1 MB web page to an item ms / Qt import alone ms" "$(figure "$out" "1 MB web page to an item: median")" \
    "$(figure "$out" "Qt HTML import alone: median")" ""

section "Start-up to idle (baselines: 10 text items; the collection's own size on disk)"
out=$("$here/bench/bench_startup.sh" "$program" text10 text100k pictures2000)
printf '%s\n' "$out"
field() { printf '%s\n' "$out" | awk -v kind="$1:" -v key="$2" '$1 == kind {
    sub(/^[^:]*: /, "")  # the name of the kind holds digits
    n = split($0, parts, ", "); for (i = 1; i <= n; ++i) if (index(parts[i], key)) {
        match(parts[i], /[0-9]+(\.[0-9]+)?/); print substr(parts[i], RSTART, RLENGTH); exit } }'; }
small=$(field text10 "start-to-idle")
for kind in text100k pictures2000; do
    headline "$kind start to idle, s / 10 items s" "$(field "$kind" "start-to-idle")" "$small" \
        "goal < 0.3 s: $(field "$kind" "start-to-idle") s"
done
headline "text100k RSS at idle, MB / data file MB" "$(field text100k "RSS idle")" "$(field text100k "data file")" "goal <= 2.00"
headline "text100k RSS peak, MB / data file MB" "$(field text100k "RSS peak")" "$(field text100k "data file")" "goal <= 2.50"
headline "pictures2000 RSS at idle, MB / 10 items MB" "$(field pictures2000 "RSS idle")" "$(field text10 "RSS idle")" \
    "goal <= 60 MB: $(field pictures2000 "RSS idle") MB"

section "Pop-up list: hotkey until mapped (baseline: a 3-item category)"
out=$("$here/tools/with-xserver" "$here/bench/bench_popup_size.sh" "$program" 21 2>/dev/null | grep -v -e '^$' -e 'SpiRegistry')
printf '%s\n' "$out"
headline "10 000-item list ms / 3-item list ms" "$(printf '%s\n' "$out" | awk '/10 000|10000/ {for (i = 1; i <= NF; ++i) if ($i ~ /^[0-9.]+$/ && $(i+1) == "ms") {print $i; exit}}')" \
    "$(printf '%s\n' "$out" | awk '/ 3 items|3 item/ {for (i = 1; i <= NF; ++i) if ($i ~ /^[0-9.]+$/ && $(i+1) == "ms") {print $i; exit}}')" "goal <= 1.20"

section "List Setup tree over 100 000 items (baseline: an exact search of every text)"
out=$(QT_QPA_PLATFORM=offscreen "$build/bench/bench_tree" 2>/dev/null)
printf '%s\n' "$out"
headline "tree: find matching nothing ms / baseline ms" "$(figure "$out" "find matching nothing")" \
    "$(figure "$out" "baseline: exact search of every text")" ""

section "Pop-up list search over 100 000 items in 50 categories (baseline: a plain case-insensitive scan)"
scratch=$(mktemp -d)
python3 "$here/bench/make_collection.py" text100k50 "$scratch/data.db"
out=$(QT_QPA_PLATFORM=offscreen "$build/bench/bench_search" "$scratch/data.db" 2>/dev/null)
rm -rf "$scratch"
printf '%s\n' "$out"
headline "search: key to rows painted p95 ms / 50 ms goal" \
    "$(printf '%s\n' "$out" | awk '/^key to rows painted/ { for (i = 1; i < NF; ++i) if ($i == "p95") v = $(i + 1) > v ? $(i + 1) : v } END { print v }')" \
    "50" "goal <= 1.00 (median $(figure "$out" "key to rows painted, 8 keys/s: median") ms)"
headline "search from scratch ms / plain scan ms" "$(figure "$out" "search from scratch, all queries:")" \
    "$(figure "$out" "baseline: plain case-insensitive scan, all queries:")" "goal <= 1.50"
headline "search: kept MB / data file MB" "$(figure "$out" "kept by the search:")" \
    "$(printf '%s\n' "$out" | awk '/^kept by the search/ { match($0, /data file [0-9.]+/); print substr($0, RSTART + 10, RLENGTH - 10) }')" "goal <= 0.50"

section "Item editor: one keystroke in a 1 MB item (baseline: the editor without Edit More)"
out=$(QT_QPA_PLATFORM=offscreen "$build/bench/bench_editor_typing" 2>/dev/null)
printf '%s\n' "$out"
headline "editor keystroke, list showing ms / baseline ms" "$(figure "$out" "from the tree, list showing")" \
    "$(figure "$out" "without Edit More (baseline)")" ""

section "Capture from the clipboard (baseline: xclip -o reading it back)"
out=$("$here/tools/with-xserver" "$build/bench/bench_capture" 2>/dev/null | grep -v -e '^$' -e 'SpiRegistry')
printf '%s\n' "$out"
medians() { printf '%s\n' "$out" | awk -v what="$1" '$1 == what { for (i = 1; i < NF - 1; ++i) {
    if ($i == "capture" && $(i + 1) == "median") c = $(i + 2); if ($i == "-o" && $(i + 1) == "median") x = $(i + 2) }
    print c, x; exit }'; }
read -r capture xclip <<<"$(medians text)"
headline "text capture ms / xclip -o ms" "$capture" "$xclip" ""

section "Typing into a terminal, and hotkey until the list shows (baseline: a minimal Qt window)"
out=$("$here/tools/with-xserver" "$here/bench/bench_typing.sh" "$program" "$build/bench/bench_hotkey_window" 2>/dev/null |
    grep -v -e '^$' -e 'SpiRegistry')
printf '%s\n' "$out"
headline "hotkey until the list shows ms / minimal window ms" "$(figure "$out" "hotkey -> pop-up list mapped: median")" \
    "$(figure "$out" "hotkey -> minimal Qt window: median")" ""

section "A shell command's round trip (baseline: a bare local-socket echo of as many bytes)"
out=$("$here/bench/bench_cli.sh" "$program" "$build/bench/bench_socket_echo" 21)
printf '%s\n' "$out"
headline "list --json on 10 000 items ms / socket echo ms" "$(figure "$out" "list --json on 10 000 items: median")" \
    "$(figure "$out" "socket echo: median")" ""

section "Wayland: capture and typing in a headless sway (baselines: wl-paste reading the copy; wtype)"
out=$("$here/tools/with-wayland" "$build/bench/bench_wayland" 2>/dev/null | grep -v -e '^$' -e 'SpiRegistry')
printf '%s\n' "$out"
headline "Wayland capture ms / wl-paste ms" "$(figure "$out" "capture read after wl-copy returns:")" \
    "$(figure "$out" "wl-paste reading the same selection:")" ""
headline "virtual keyboard chars/s / wtype chars/s" "$(figure "$out" "typing through the virtual keyboard:")" \
    "$(figure "$out" "wtype typing the same text:")" ""

section "Saving killed at random moments ($kills kills)"
out=$("$build/tests/killtest/tst_killsave" --kills "$kills" 2>&1 | grep -E '^(QINFO|FAIL|Totals)' | sed 's/^QINFO  : [^ ]* //')
printf '%s\n' "$out"
headlines+=("$(printf '%-52s %s' "kill test, $kills kills" "$(printf '%s\n' "$out" | grep -q '^FAIL' && echo FAILED || echo 'every kill left one whole round')")")

section "Headlines (value / baseline = ratio)"
printf '%s\n' "${headlines[@]}"
