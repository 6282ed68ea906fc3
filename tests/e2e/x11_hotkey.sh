#!/usr/bin/env bash
# The pop-up hotkey against real applications: Ctrl+V pressed in a GTK entry
# opens the list under the caret (or the pointer) and not in the entry; with
# the configuration window shown or the quick list off, Ctrl+V pastes as
# usual; a hotkey another program holds gives the "Error!" message.
set -uo pipefail

program=${1:?program path}
holder=${2:?key holder helper}
. "$(dirname "$0")/lib.sh"
trap 'kill -9 ${sk:-} ${zen:-} ${hold:-} ${term:-} 2>/dev/null; rm -rf "$home"' EXIT
returning_user
popup="List box"


"$program" >"$home/sk.log" 2>&1 &
sk=$!
sleep 2
printf 'clip text' | xclip -selection clipboard -i >/dev/null 2>&1
sleep 0.5

position() { # x y of a window
    xdotool getwindowgeometry "$1" 2>/dev/null | awk '/Position/ {split($2, p, ","); print p[1], p[2]}'
}
entry "Target one"
read -r ex ey < <(position "$(window "Target one")")
# The pointer far from the entry: the list must follow the caret, not the mouse.
xdotool mousemove 1200 750
xdotool key ctrl+v
check "Ctrl+V in a GTK entry opens the pop-up list" quiet window "$popup"
read -r x y < <(position "$(window "$popup")")
check "the list opens under the entry's caret ($x,$y; entry at $ex,$ey)" \
    test "${x:-0}" -ge "$ex" -a "${x:-0}" -lt $((ex + 300)) -a "${y:-0}" -gt "$ey" -a "${y:-0}" -lt $((ey + 150))
answer "$popup" Escape
check "Esc closes the list" gone "$popup"

# xterm exposes no caret: the list opens under the pointer.
if command -v xterm >/dev/null; then
    if terminal "Terminal"; then
        xdotool mousemove 700 500
        xdotool key ctrl+v
        read -r x y < <(position "$(window "$popup")")
        check "in xterm the list opens at the pointer ($x,$y)" test "${x:-0}" -eq 700 -a "${y:-0}" -eq 513
        answer "$popup" Escape
    fi
    kill "$term" 2>/dev/null
fi
check "the keystroke did not reach the entry" test -z "$(finish_entry "Target one")"

# With the configuration window shown the hotkey is off.
tray=$(tray_icon)
xdotool mousemove --window "$tray" 4 4 click --repeat 2 --delay 80 1
check "the configuration window opens" quiet window "Scrapkeeper Configuration - $data/data.db"
entry "Target three"
xdotool key ctrl+v
sleep 0.5
got=$(finish_entry "Target three")
check "with the configuration window shown Ctrl+V pastes in the entry (got '$got')" test "$got" = "clip text"

# The quick list off: Ctrl+V reaches the application untouched.
kill -TERM "$sk"; wait "$sk"
sed -i 's/^lba=.*$/lba=0/' "$home/.config/Halvorik/Scrapkeeper1.0.conf"
"$program" >"$home/sk2.log" 2>&1 &
sk=$!
sleep 2
printf 'pasted normally' | xclip -selection clipboard -i >/dev/null 2>&1
sleep 0.5
entry "Target two"
xdotool key ctrl+v
sleep 0.5
check "with the quick list off no list opens" bash -c "! xdotool search --onlyvisible --name '^$popup\$' >/dev/null 2>&1"
got=$(finish_entry "Target two")
check "with the quick list off Ctrl+V pastes in the entry (got '$got')" test "$got" = "pasted normally"
kill -TERM "$sk"; wait "$sk"

# Another program holds Ctrl+V: the first minimise says so.
sed -i 's/^lba=.*$/lba=1/' "$home/.config/Halvorik/Scrapkeeper1.0.conf"
"$holder" 30 >/dev/null &
hold=$!
sleep 0.5
"$program" >"$home/sk3.log" 2>&1 &
sk=$!
check "a hotkey held by another program gives the Error! message" answer "Error!" Return
check "the program keeps running after the message" alive "$sk"
kill "$hold" 2>/dev/null
kill -TERM "$sk"; wait "$sk"

# A stale accessibility bus address on the root window must not take the program down.
xprop -root -f AT_SPI_BUS 8s -set AT_SPI_BUS "unix:path=$home/no-such-bus"
"$program" >"$home/sk4.log" 2>&1 &
sk=$!
sleep 2
if command -v xterm >/dev/null; then
    if terminal "Terminal two"; then
        xdotool key ctrl+v
        check "with a dead accessibility bus the list still opens" quiet window "$popup"
        answer "$popup" Escape
    fi
    kill "$term" 2>/dev/null
fi
check "a dead accessibility bus does not end the program" alive "$sk"
xprop -root -remove AT_SPI_BUS
kill -TERM "$sk"; wait "$sk"
finish
