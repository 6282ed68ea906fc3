#!/usr/bin/env bash
# "Simulate Ctrl-V" into terminals, whose shell takes Ctrl+V as "insert the
# next character literally": xterm has no clipboard key and gets the item
# typed, lxterminal gets its own paste key, Ctrl+Shift+V. In each, a reader
# keeps what arrives, and the key pressed after the paste arrives as itself.
set -uo pipefail

program=${1:?program path}
. "$(dirname "$0")/lib.sh"
command -v lxterminal >/dev/null || { echo "SKIP: lxterminal is not installed (tools/install-deps)"; exit 77; }
trap 'kill -9 ${sk:-} ${term:-} 2>/dev/null; rm -rf "$home"' EXIT
popup="List box"

returning_user
start_program
copy $'first line\nsecond'

paste_into() { # title, file the terminal's reader writes: pastes the item, then types z and Enter
    local id
    id=$(window "$1") || return 1
    xdotool windowactivate --sync "$id" >/dev/null 2>&1
    sleep 0.5
    xdotool key ctrl+v
    quiet window "$popup" || return 1
    xdotool key Return
    gone "$popup" || return 1
    sleep 1.5
    # The next key, typed by the user: with Ctrl+V left pending it would be
    # taken literally and the line would never end.
    xdotool type z
    xdotool key Return
    for _ in $(seq 30); do [ -s "$2" ] && grep -q z "$2" && break; sleep 0.1; done
}

rm -f "$home/xterm.txt"
xterm -title "xterm target" -e sh -c "cat > '$home/xterm.txt'" &
term=$!
check "the list opens over xterm and closes after the paste" paste_into "xterm target" "$home/xterm.txt"
kill "$term" 2>/dev/null
check "xterm got the item typed, line break as Enter, then the next key ($(tr '\n' '|' <"$home/xterm.txt"))" \
    test "$(tr '\n' '|' <"$home/xterm.txt")" = "first line|secondz|"

rm -f "$home/lx.txt"
lxterminal --no-remote -t "lxterminal target" -e sh -c "cat > '$home/lx.txt'" >/dev/null 2>&1 &
term=$!
check "the list opens over lxterminal and closes after the paste" paste_into "lxterminal target" "$home/lx.txt"
kill "$term" 2>/dev/null
check "lxterminal pasted the item with its own key, then the next key ($(tr '\n' '|' <"$home/lx.txt"))" \
    test "$(tr '\n' '|' <"$home/lx.txt")" = "first line|secondz|"
check "the clipboard still holds the item" test "$(xclip -selection clipboard -o 2>/dev/null)" = $'first line\nsecond'

stop_program
items=$(grep -ac $'^0000\r$' "$data/data.db")
check "pasting captured no new item ($items items)" test "$items" -eq 1
finish
